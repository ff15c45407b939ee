#include "platform/network/helper/HelperChannel.h"

#include <cerrno>
#include <fcntl.h>
#include <glib-unix.h>
#include <unistd.h>

HelperChannel::HelperChannel(int input, int output, Handler handler, std::function<void()> ended)
    : _input(input)
    , _output(output)
    , _handler(std::move(handler))
    , _endedHandler(std::move(ended)) {
    fcntl(_input, F_SETFL, fcntl(_input, F_GETFL) | O_NONBLOCK);
    _watch = g_unix_fd_add(_input, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                           reinterpret_cast<GUnixFDSourceFunc>(&HelperChannel::readable), this);
}

HelperChannel::~HelperChannel() {
    if (_watch != 0) {
        g_source_remove(_watch);
    }
}

int HelperChannel::readable(int, unsigned, void* self) {
    auto* channel = static_cast<HelperChannel*>(self);
    channel->readAvailable();
    if (channel->_ended) {
        channel->_watch = 0;
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

void HelperChannel::readAvailable() {
    char buffer[65536];
    while (true) {
        const ssize_t count = read(_input, buffer, sizeof buffer);
        if (count > 0) {
            _decoder.feed(buffer, static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        _ended = true; // the library closed its end, or the pipe broke
        break;
    }
    while (std::optional<HelperProtocol::Message> message = _decoder.next()) {
        if (!message->empty()) {
            _handler(std::move(*message));
        }
    }
    if (_decoder.failed()) {
        _ended = true;
    }
    if (_ended && _endedHandler) {
        std::function<void()> ended = std::move(_endedHandler);
        _endedHandler = nullptr;
        ended();
    }
}

void HelperChannel::send(const HelperProtocol::Message& message) {
    const std::string frame = HelperProtocol::encode(message);
    std::size_t written = 0;
    while (written < frame.size()) {
        const ssize_t count = write(_output, frame.data() + written, frame.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return; // the library is gone; its end of the input will close too
        }
        written += static_cast<std::size_t>(count);
    }
}
