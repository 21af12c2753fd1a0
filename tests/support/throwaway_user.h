#pragma once
// A login account that exists only for one test: made with useradd under a name no account has,
// given a password, and removed with userdel at the end. No existing account is touched. Only
// root may make one (the tests run as root in CI).

#include <string>

namespace velmora::test {

// Whether this process may make throwaway users at all.
bool canMakeUsers();

class ThrowawayUser {
public:
    // Throws when the account cannot be made.
    explicit ThrowawayUser(std::string password);
    ~ThrowawayUser();
    ThrowawayUser(const ThrowawayUser&) = delete;
    ThrowawayUser& operator=(const ThrowawayUser&) = delete;

    const std::string& name() const { return name_; }
    const std::string& password() const { return password_; }

private:
    std::string name_;
    std::string password_;
};

} // namespace velmora::test
