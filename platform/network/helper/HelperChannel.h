#pragma once

#include "platform/network/HelperProtocol.h"

#include <functional>

// The helper's end of its pipes to the library: requests arrive on the
// descriptor it reads (watched on GLib's main loop), answers leave on the one
// it writes. Messages are written whole, waiting for the library to read
// when the pipe is full.
class HelperChannel {
public:
    using Handler = std::function<void(HelperProtocol::Message&& message)>;

    // Takes over the two descriptors; closed descriptors or a broken frame call ended.
    HelperChannel(int input, int output, Handler handler, std::function<void()> ended);
    ~HelperChannel();
    HelperChannel(const HelperChannel&) = delete;
    HelperChannel& operator=(const HelperChannel&) = delete;

    void send(const HelperProtocol::Message& message);

private:
    static int readable(int fd, unsigned condition, void* self);
    void readAvailable();

    int _input;
    int _output;
    unsigned _watch = 0;
    bool _ended = false;
    Handler _handler;
    std::function<void()> _endedHandler;
    HelperProtocol::Decoder _decoder;
};
