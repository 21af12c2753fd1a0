#pragma once
// SSH host keys as OpenSSH writes them, for the SFTP trust decisions: the fingerprint the
// presenter is shown, and the lookup in a known-hosts file that the program only reads (the
// presenter's own ~/.ssh/known_hosts).

#include <optional>
#include <string>

namespace velmora {

// "SHA256:<Base64 without padding>" of the key blob, as ssh-keygen -l prints it.
std::string sshKeyFingerprint(const std::string& keyBlob);

// The host name as ssh looks it up and writes it: in lower case, "host" on port 22, "[host]:port"
// elsewhere. host may be an IPv6 address with or without its URL brackets: it gets one pair.
std::string knownHostsName(const std::string& host, int port);

enum class KnownHostMatch { Missing, Match, Mismatch, Revoked };

// Looks host (in knownHostsName form) up in the known-hosts text, plain names without regard to
// case and hashed ("|1|") names alike; wildcard patterns are not followed, lines whose key is no
// Base64 are passed over. Revoked: an "@revoked" line carries keyBlob, for whatever names; this
// outweighs any match. knownKey, when given, gets the Base64 blob of a key found for host that
// is not keyBlob, for a Mismatch.
KnownHostMatch findKnownHost(const std::string& knownHostsText, const std::string& host,
                             const std::string& keyBlob, std::string* knownKey = nullptr);

// True when a known-hosts line is a key for host (knownHostsName form) and no other name, spelt
// as findKnownHost reads it; never for an "@revoked" or other marked line.
bool lineNamesHostAlone(const std::string& line, const std::string& host);

// The known-hosts line for host and keyBlob, with its line break; empty when the blob names no
// key type.
std::string knownHostsLine(const std::string& host, const std::string& keyBlob);

// The Base64 blob as a known-hosts line carries it, decoded; empty when it is no Base64.
std::string decodeKeyBlob(const std::string& base64Blob);

// The fingerprint of a key in the form known-hosts lines carry it.
std::string fingerprintOfBase64Key(const std::string& base64Blob);

} // namespace velmora
