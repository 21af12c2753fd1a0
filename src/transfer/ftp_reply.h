#pragma once
// Pieces of the FTP control dialogue: pairing each command with its final reply, and reading the
// directory out of a 257 reply and the size out of a 213 one.

#include <optional>
#include <string>
#include <vector>

namespace velmora {

struct FtpExchange {
    std::string command; // as sent, without CR LF
    int replyCode = 0;   // 0 while no final reply has arrived
    std::string replyText;
};

// Fed with the bytes that go out and come in on the control connection, in the order they pass.
class FtpDialogue {
public:
    void clear();
    void sent(const std::string& bytes);
    void received(const std::string& bytes);
    // The last exchange whose command starts with verb (e.g. "PWD"), if any.
    const FtpExchange* lastOf(const std::string& verb) const;

private:
    void finishLine(const std::string& line);

    std::vector<FtpExchange> exchanges_;
    std::string pendingIn_;
    std::string pendingOut_;
    std::string replyLines_;
};

// "257 "/a ""b"" dir" is the current directory." gives /a "b" dir.
std::optional<std::string> quotedDirectory(const std::string& replyText);

// "213 1234" gives 1234: the number alone after the code, as SIZE answers. Empty for anything
// else.
std::optional<long long> sizeInReply(const std::string& replyText);

} // namespace velmora
