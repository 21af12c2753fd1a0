#include "transfer/server_address.h"

#include "transfer/ftp_session.h"
#include "transfer/server_session_factory.h"
#include "transfer/sftp_session.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct Expected {
    const char* typed;
    Transport transport;
    const char* host;
    int port;
};

TEST(ServerAddressScheme, EachFormChoosesItsTransportAndDefaultPort)
{
    for (const Expected& e : {
             Expected{"ftp.example.com", Transport::Ftp, "ftp.example.com", 21},
             Expected{"ftp.example.com:2121", Transport::Ftp, "ftp.example.com", 2121},
             Expected{"ftp://ftp.example.com", Transport::Ftp, "ftp.example.com", 21},
             Expected{"ftp://ftp.example.com:2121", Transport::Ftp, "ftp.example.com", 2121},
             Expected{"ftpes://ftp.example.com", Transport::ExplicitTls, "ftp.example.com", 21},
             Expected{"ftpes://host:2121", Transport::ExplicitTls, "host", 2121},
             Expected{"ftps://ftp.example.com", Transport::ImplicitTls, "ftp.example.com", 990},
             Expected{"ftps://host:9990", Transport::ImplicitTls, "host", 9990},
             Expected{"FTPES://Host", Transport::ExplicitTls, "Host", 21},
             Expected{"ftps://[::1]", Transport::ImplicitTls, "[::1]", 990},
             Expected{"ftps://[::1]:991", Transport::ImplicitTls, "[::1]", 991},
             Expected{"sftp://host", Transport::Sftp, "host", 22},
         }) {
        const auto address = parseServerAddress(e.typed);
        ASSERT_TRUE(address) << e.typed;
        EXPECT_EQ(address->transport, e.transport) << e.typed;
        EXPECT_EQ(address->host, e.host) << e.typed;
        EXPECT_EQ(address->port, e.port) << e.typed;
    }
}

TEST(ServerAddressScheme, RefusesPathsUserInfoAndUnknownSchemes)
{
    for (const char* bad :
         {"ftp://", "ftpes://", "ftps://:990", "ftp://host/", "ftpes://host/dir",
          "ftps://user@host", "ftps://user:pw@host", "http://host", "https://host:443",
          "ftpx://host", "ftps:/host", "ftps//host", "ftps://host:", "ftps://host:0",
          "ftps://ftps://host", "ftpes://host?x", "ftp://ho st", "ftpes://host\r\nQUIT"})
        EXPECT_FALSE(parseServerAddress(bad)) << bad;
}

TEST(ServerAddressScheme, KeyNameIsHostInLowerCaseAndPort)
{
    EXPECT_EQ(serverKeyName(*parseServerAddress("ftpes://FTP.Example.com")), "ftp.example.com:21");
    EXPECT_EQ(serverKeyName(*parseServerAddress("ftps://[::1]")), "[::1]:990");
}

TEST(ServerAddressScheme, SchemeChoosesTheSession)
{
    for (const char* ftp : {"ftp.example.com", "ftp://host:2121", "ftpes://host", "ftps://host",
                            "FTPES://Host", "", "gopher://host", "host/path"}) {
        const auto session = makeServerSession(ftp);
        EXPECT_NE(dynamic_cast<FtpSession*>(session.get()), nullptr) << ftp;
        EXPECT_FALSE(session->isOpen()) << ftp;
    }
    for (const char* sftp : {"sftp://host", "SFTP://Host:2222", "sftp://[::1]"}) {
        const auto session = makeServerSession(sftp);
        EXPECT_NE(dynamic_cast<SftpSession*>(session.get()), nullptr) << sftp;
        EXPECT_FALSE(session->isOpen()) << sftp;
    }
}

} // namespace
} // namespace velmora
