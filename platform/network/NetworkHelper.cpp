#include "platform/network/NetworkHelper.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QObject>

#include <cerrno>
#include <csignal>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* kProgramName = "qvmb-network";
// A helper that ended is started again, but not sooner than this after the
// last start, so that a helper that cannot run does not spin.
constexpr std::chrono::seconds kRestartPause(3);
// How long a request may wait for room in the helper's input before the
// helper counts as hung.
constexpr int kWriteTimeoutMs = 5000;

bool writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
        if (count > 0) {
            written += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wait{fd, POLLOUT, 0};
            if (poll(&wait, 1, kWriteTimeoutMs) <= 0) {
                return false;
            }
            continue;
        }
        return false;
    }
    return true;
}

bool isFinal(const std::string& name) {
    return name == HelperProtocol::kPage || name == HelperProtocol::kData || name == HelperProtocol::kDone ||
           name == HelperProtocol::kFailed;
}

} // namespace

// A request waiting for its answers.
struct NetworkHelper::Pending {
    std::condition_variable arrived;
    std::deque<Message> answers; // guarded by NetworkHelper::_mutex
    bool helperEnded = false;    // the same
};

NetworkHelper& NetworkHelper::shared() {
    static NetworkHelper* helper = new NetworkHelper(); // lives until the process ends
    return *helper;
}

NetworkHelper::NetworkHelper() {
    if (QCoreApplication::instance() != nullptr) {
        _receiver = new QObject(QCoreApplication::instance());
    }
}

QString NetworkHelper::programPath() {
    const QByteArray configured = qgetenv("QVMB_NETWORK_HELPER");
    if (!configured.isEmpty()) {
        return QFileInfo(QString::fromLocal8Bit(configured)).isExecutable()
                   ? QString::fromLocal8Bit(configured)
                   : QString();
    }
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&NetworkHelper::programPath), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    const QString libraryDir = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    const QString candidates[] = {
        libraryDir + QLatin1Char('/') + QLatin1String(kProgramName),
        libraryDir + QStringLiteral("/" QVMB_HELPER_FROM_LIBDIR "/") + QLatin1String(kProgramName),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isExecutable()) {
            return QFileInfo(candidate).canonicalFilePath();
        }
    }
    return {};
}

bool NetworkHelper::ensureRunning() {
    std::lock_guard lock(_mutex);
    return startLocked();
}

bool NetworkHelper::startLocked() {
    if (_pid != 0) {
        return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (_starts > 0 && now - _lastStart < kRestartPause) {
        return false;
    }
    const QString program = programPath();
    if (program.isEmpty()) {
        return false;
    }
    _lastStart = now;
    int toHelper[2];
    int fromHelper[2];
    if (pipe2(toHelper, O_CLOEXEC) != 0) {
        return false;
    }
    if (pipe2(fromHelper, O_CLOEXEC) != 0) {
        close(toHelper[0]);
        close(toHelper[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toHelper[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromHelper[1], STDOUT_FILENO);
    // The helper's complaints about servers are not the host's to print.
    if (qEnvironmentVariableIsEmpty("QVMB_NETWORK_LOG")) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    const QByteArray path = QFile::encodeName(program);
    char* const argv[] = {const_cast<char*>(path.constData()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toHelper[0]);
    close(fromHelper[1]);
    if (spawned != 0) {
        close(toHelper[1]);
        close(fromHelper[0]);
        return false;
    }
    fcntl(toHelper[1], F_SETFL, fcntl(toHelper[1], F_GETFL) | O_NONBLOCK);
    _pid = pid;
    _toHelper = toHelper[1];
    ++_generation;
    ++_starts;
    std::thread(&NetworkHelper::readLoop, this, fromHelper[0], _generation).detach();
    if (_discover) {
        writeLocked({std::string(HelperProtocol::kDiscover), "1"});
    }
    return true;
}

void NetworkHelper::setDiscovery(bool discover) {
    std::lock_guard lock(_mutex);
    _discover = discover;
    if (_pid != 0) {
        writeLocked({std::string(HelperProtocol::kDiscover), discover ? "1" : "0"});
    } else if (discover) {
        startLocked();
    }
}

bool NetworkHelper::writeLocked(const Message& message) {
    if (_toHelper < 0) {
        return false;
    }
    if (!writeAll(_toHelper, HelperProtocol::encode(message))) {
        // It takes nothing more: a hung helper is ended and started afresh.
        kill(_pid, SIGKILL);
        close(_toHelper);
        _toHelper = -1;
        return false;
    }
    return true;
}

NetworkHelper::Answer NetworkHelper::request(Message request, LoadProgress& progress,
                                             std::chrono::milliseconds silence,
                                             const std::function<void(const Message&)>& partial) {
    Answer answer;
    auto pending = std::make_shared<Pending>();
    std::string id;
    std::unique_lock lock(_mutex);
    if (!startLocked()) {
        answer.failure = QStringLiteral("the network helper cannot run");
        return answer;
    }
    id = std::to_string(++_nextRequest);
    if (request.size() < 2) {
        request.resize(2);
    }
    request[1] = id;
    _pending[id] = pending;
    if (!writeLocked(request)) {
        _pending.erase(id);
        answer.failure = QStringLiteral("the network helper does not listen");
        return answer;
    }
    auto lastHeard = std::chrono::steady_clock::now();
    while (true) {
        pending->arrived.wait_for(lock, std::chrono::milliseconds(50));
        while (!pending->answers.empty()) {
            Message message = std::move(pending->answers.front());
            pending->answers.pop_front();
            lastHeard = std::chrono::steady_clock::now();
            if (isFinal(message[0])) {
                _pending.erase(id);
                answer.ok = message[0] != HelperProtocol::kFailed;
                if (!answer.ok) {
                    answer.failure = QString::fromUtf8(message.size() > 2 ? message[2] : std::string());
                }
                answer.message = std::move(message);
                return answer;
            }
            if (partial) {
                lock.unlock();
                partial(message);
                lock.lock();
            }
        }
        if (pending->helperEnded) {
            _pending.erase(id);
            answer.failure = QStringLiteral("the network helper ended");
            return answer;
        }
        const bool cancelled = progress.isCancelled();
        if (cancelled || std::chrono::steady_clock::now() - lastHeard > silence) {
            _pending.erase(id);
            writeLocked({std::string(HelperProtocol::kCancel), id});
            answer.failure = cancelled ? QStringLiteral("cancelled") : QStringLiteral("no answer");
            return answer;
        }
    }
}

void NetworkHelper::readLoop(int fd, int generation) {
    HelperProtocol::Decoder decoder;
    char buffer[65536];
    while (true) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        decoder.feed(buffer, static_cast<std::size_t>(count));
        while (std::optional<Message> message = decoder.next()) {
            if (message->empty()) {
                continue;
            }
            const std::string& name = (*message)[0];
            if (name == HelperProtocol::kServer || name == HelperProtocol::kServerGone) {
                postEvent(std::move(*message));
                continue;
            }
            if (message->size() < 2) {
                continue;
            }
            std::lock_guard lock(_mutex);
            const auto found = _pending.find((*message)[1]);
            if (found != _pending.end()) {
                found->second->answers.push_back(std::move(*message));
                found->second->arrived.notify_all();
            }
        }
        if (decoder.failed()) {
            break;
        }
    }
    close(fd);
    ended(generation);
}

void NetworkHelper::ended(int generation) {
    {
        std::lock_guard lock(_mutex);
        if (generation != _generation) {
            return;
        }
        if (_pid != 0) {
            kill(_pid, SIGKILL); // its output broke: whatever it does now, it is done
            waitpid(_pid, nullptr, 0);
        }
        _pid = 0;
        if (_toHelper >= 0) {
            close(_toHelper);
            _toHelper = -1;
        }
        for (auto& [id, pending] : _pending) {
            pending->helperEnded = true;
            pending->arrived.notify_all();
        }
    }
    postEvent({"ended"});
}

void NetworkHelper::setEventHandler(std::function<void(const Message&)> handler) {
    _eventHandler = std::move(handler);
}

void NetworkHelper::postEvent(Message message) {
    if (_receiver == nullptr) {
        return;
    }
    {
        std::lock_guard lock(_eventMutex);
        _events.push_back(std::move(message));
    }
    // Qt's queue carries only the wake-up; the events pass through our own
    // queue and mutex, which ThreadSanitizer sees.
    QMetaObject::invokeMethod(
        _receiver, [this] { deliverEvents(); }, Qt::QueuedConnection);
}

void NetworkHelper::deliverEvents() {
    std::deque<Message> events;
    {
        std::lock_guard lock(_eventMutex);
        events.swap(_events);
    }
    for (const Message& event : events) {
        if (_eventHandler) {
            _eventHandler(event);
        }
    }
}

int NetworkHelper::starts() const {
    std::lock_guard lock(_mutex);
    return _starts;
}

int NetworkHelper::processId() const {
    std::lock_guard lock(_mutex);
    return _pid;
}
