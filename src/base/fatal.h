// The one way the game ends on an error it cannot go on from.  Every loader
// and start-up step that gives up calls fatal::stop: the message goes out,
// the trace is flushed so the last lines reach the terminal, and the program
// ends with exit code 1.  Tools and tests install a handler instead, so the
// data checker can report the loader's reason as an error line and go on,
// and a test can check a fatal path inside its own process.
#pragma once

#include <string>

namespace fatal {

// Where the message is written: the trace (standard output) or the error
// channel (standard error, where the C library's perror writes).
enum class Channel { trace, errors };

// Writes `message` exactly as given (no newline added), flushes the trace
// and ends the program with exit code 1, or hands the message to the
// installed handler.  A handler must not return (it throws); if it does, the
// program still ends with exit code 1.
[[noreturn]] void stop(const std::string& message, Channel channel = Channel::trace);

// perror's form: "what: <the system's reason for errno>\n" on the error channel.
[[noreturn]] void stopWithSystemError(const std::string& what);

// Receives the message and the channel instead of the default action;
// nullptr restores it.  Returns the handler installed before, so that whoever
// installs one for a while can put the previous one back.
using Handler = void (*)(const std::string& message, Channel channel);
Handler setHandler(Handler handler);

} // namespace fatal
