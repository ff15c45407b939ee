// qvmb-network: the browser's network helper. The library starts it, talks to
// it over its standard input and output (HelperProtocol) and ends it by
// closing them. It finds media servers and browses them (GUPnP), lists
// network shares (GIO and gvfs) and reads files from both, so that the host
// application never loads GUPnP, libsoup or gvfs's modules, and a server's
// answer that breaks a parser breaks only this process.

#include "platform/network/HelperProtocol.h"
#include "platform/network/helper/HelperChannel.h"
#include "platform/network/helper/MediaServerBrowser.h"
#include "platform/network/helper/RemoteTransfers.h"
#include "platform/network/helper/ShareLister.h"

#include <csignal>
#include <cstdlib>
#include <glib-unix.h>
#include <glib.h>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QVMB_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QVMB_SANITIZED 1
#endif

namespace {

// The most memory the helper may take: a server's answer that would need
// more ends the helper (which the library starts again), not the machine.
constexpr rlim_t kAddressSpace = rlim_t(2) << 30;

unsigned number(const std::string& text) {
    return static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
}

} // namespace

int main() {
    // The answers go out on a descriptor of their own; whatever a library
    // prints on the standard output lands on the error output instead.
    const int answers = dup(STDOUT_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
#ifndef QVMB_SANITIZED // the sanitizers' shadow memory is larger
    const rlimit limit{kAddressSpace, kAddressSpace};
    setrlimit(RLIMIT_AS, &limit);
#endif
    signal(SIGPIPE, SIG_IGN);

    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    std::unique_ptr<MediaServerBrowser> servers;
    std::unique_ptr<RemoteTransfers> transfers;
    std::unique_ptr<ShareLister> shares;
    HelperChannel channel(
        STDIN_FILENO, answers,
        [&](HelperProtocol::Message&& message) {
            const std::string& name = message[0];
            const auto field = [&message](std::size_t index) {
                return index < message.size() ? message[index] : std::string();
            };
            if (name == HelperProtocol::kDiscover) {
                if (field(1) == "0") {
                    servers->stop();
                } else {
                    servers->start();
                }
            } else if (name == HelperProtocol::kBrowse) {
                servers->browse(field(1), field(2), field(3), number(field(4)), number(field(5)));
            } else if (name == HelperProtocol::kSearch) {
                servers->search(field(1), field(2), field(3), field(4), number(field(5)), number(field(6)));
            } else if (name == HelperProtocol::kFetch) {
                transfers->fetch(field(1), field(2), number(field(3)));
            } else if (name == HelperProtocol::kDownload) {
                transfers->download(field(1), field(2), field(3));
            } else if (name == HelperProtocol::kList) {
                shares->list(field(1), field(2));
            } else if (name == HelperProtocol::kCancel) {
                servers->cancel(field(1)) || transfers->cancel(field(1)) || shares->cancel(field(1));
            }
        },
        [loop] { g_main_loop_quit(loop); });
    servers = std::make_unique<MediaServerBrowser>(channel);
    transfers = std::make_unique<RemoteTransfers>(channel);
    shares = std::make_unique<ShareLister>(channel);
    g_unix_signal_add(
        SIGTERM,
        [](gpointer data) {
            g_main_loop_quit(static_cast<GMainLoop*>(data));
            return G_SOURCE_REMOVE;
        },
        loop);
    g_main_loop_run(loop);
    shares.reset();
    transfers.reset();
    servers.reset();
    g_main_loop_unref(loop);
    return 0;
}
