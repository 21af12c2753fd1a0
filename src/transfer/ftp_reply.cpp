#include "transfer/ftp_reply.h"

#include <cctype>

namespace velmora {
namespace {

bool startsWithVerb(const std::string& command, const std::string& verb)
{
    if (command.size() < verb.size())
        return false;
    for (std::size_t i = 0; i < verb.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(command[i])) !=
            std::toupper(static_cast<unsigned char>(verb[i])))
            return false;
    return command.size() == verb.size() || command[verb.size()] == ' ';
}

bool isFinalReplyLine(const std::string& line)
{
    return line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) &&
           std::isdigit(static_cast<unsigned char>(line[1])) &&
           std::isdigit(static_cast<unsigned char>(line[2])) && line[3] == ' ';
}

} // namespace

void FtpDialogue::clear()
{
    exchanges_.clear();
    pendingIn_.clear();
    pendingOut_.clear();
    replyLines_.clear();
}

void FtpDialogue::sent(const std::string& bytes)
{
    pendingOut_ += bytes;
    std::size_t end;
    while ((end = pendingOut_.find('\n')) != std::string::npos) {
        std::string line = pendingOut_.substr(0, end);
        pendingOut_.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        exchanges_.push_back({line, 0, {}});
    }
}

void FtpDialogue::received(const std::string& bytes)
{
    pendingIn_ += bytes;
    std::size_t end;
    while ((end = pendingIn_.find('\n')) != std::string::npos) {
        std::string line = pendingIn_.substr(0, end);
        pendingIn_.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        finishLine(line);
    }
}

void FtpDialogue::finishLine(const std::string& line)
{
    replyLines_ += line;
    if (!isFinalReplyLine(line)) {
        replyLines_ += "\n";
        return;
    }
    const int code = std::stoi(line.substr(0, 3));
    const std::string text = replyLines_;
    replyLines_.clear();
    if (code < 200)
        return; // preliminary: the command's final reply is still to come
    for (auto& exchange : exchanges_) {
        if (exchange.replyCode == 0) {
            exchange.replyCode = code;
            exchange.replyText = text;
            return;
        }
    }
    // A reply to no command of ours: the greeting, or a notice before closing.
}

const FtpExchange* FtpDialogue::lastOf(const std::string& verb) const
{
    for (auto it = exchanges_.rbegin(); it != exchanges_.rend(); ++it)
        if (startsWithVerb(it->command, verb))
            return &*it;
    return nullptr;
}

std::optional<std::string> quotedDirectory(const std::string& replyText)
{
    const auto open = replyText.find('"');
    if (open == std::string::npos)
        return std::nullopt;
    std::string path;
    for (std::size_t i = open + 1; i < replyText.size(); ++i) {
        if (replyText[i] != '"') {
            path += replyText[i];
            continue;
        }
        if (i + 1 < replyText.size() && replyText[i + 1] == '"') {
            path += '"';
            ++i;
            continue;
        }
        return path;
    }
    return std::nullopt; // no closing quote
}

std::optional<long long> sizeInReply(const std::string& replyText)
{
    if (replyText.size() < 5 || replyText.compare(0, 4, "213 ") != 0 ||
        replyText.find('\n') != std::string::npos)
        return std::nullopt;
    long long value = 0;
    for (std::size_t i = 4; i < replyText.size(); ++i) {
        if (replyText[i] < '0' || replyText[i] > '9' || value > (1LL << 50))
            return std::nullopt;
        value = value * 10 + (replyText[i] - '0');
    }
    return value;
}

} // namespace velmora
