#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "app/SettingsRecord.h"
#include "cddb/FreedbLookup.h"
#include "support/FreedbTestServer.h"
#include "support/TempDir.h"

using namespace melvarin;
using melvarin::test::FreedbTestServer;

namespace {

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

bool canConnect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

// tinyproxy on loopback demanding Basic authorisation, stopped with the object.
class TinyProxy {
public:
    TinyProxy(const test::TempDir& dir, const std::string& user, const std::string& password) {
        port_ = freePort();
        const std::string conf = dir / "tinyproxy.conf";
        test::writeFile(conf, "Port " + std::to_string(port_) + "\nListen 127.0.0.1\nTimeout 10\n"
                              "Allow 127.0.0.1\nBasicAuth " + user + " " + password + "\nLogLevel Critical\n"
                              "LogFile \"" + (dir / "tinyproxy.log") + "\"\n");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execlp("tinyproxy", "tinyproxy", "-d", "-c", conf.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100 && !canConnect(port_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~TinyProxy() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    int port() const { return port_; }
    bool running() const { return canConnect(port_); }

private:
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace

TEST(FreedbProxy, RequestsReachTheServerOnlyWithTheRightCredentials) {
    test::TempDir dir;
    TinyProxy proxy(dir, "melv", "s3cret");
    ASSERT_TRUE(proxy.running()) << "tinyproxy did not start";

    FreedbTestServer server;
    server.addEntry({"rock", 0x9b0a6b0c, "Via / Proxy",
                     "# xmcd\r\nDISCID=9b0a6b0c\r\nDTITLE=Via / Proxy\r\nTTITLE0=Only\r\n"});
    FreedbDisc query;
    query.discId = 0x9b0a6b0c;
    query.offsets = {150};
    query.discSeconds = 100;

    SettingsRecord s{};
    setText(s.Server, server.server());
    setText(s.Path, "/~cddb/cddb.cgi");
    s.TimeOut = 3000;
    s.UseProxy = 1;
    setText(s.Proxy, "127.0.0.1");
    s.Port = proxy.port();
    setText(s.User, "melv");
    setText(s.Password, "wrong");

    ScriptedPrompt refused;  // answers No to the retry question
    XmcdRecord disc;
    EXPECT_EQ(FreedbLookup::Run(s, query, 1, refused, {}, disc), FreedbOutcome::Failed);
    EXPECT_TRUE(server.requests().empty());

    setText(s.Password, "s3cret");
    ScriptedPrompt prompt;
    ASSERT_EQ(FreedbLookup::Run(s, query, 1, prompt, {}, disc), FreedbOutcome::Found);
    EXPECT_EQ(disc.artist, "Via");
    EXPECT_EQ(disc.titles.at(0), "Only");
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_NE(server.requests()[0].find("cmd=cddb+query+9b0a6b0c+1+150+100&hello="), std::string::npos);
}

// Settings without server or path ask the default server at the default path
// (seen by a test server standing in for the proxy), and a server without a
// path reaches a server that answers on the default path only, through
// tinyproxy. The stored settings stay empty.
TEST(FreedbProxy, EmptyServerAndPathMeanTheDefaultsAtTheRequest) {
    FreedbDisc query;
    query.discId = 0x9b0a6b0c;
    query.offsets = {150};
    query.discSeconds = 100;
    const FreedbTestServer::Entry entry{"rock", 0x9b0a6b0c, "Default / Path",
                                        "# xmcd\r\nDISCID=9b0a6b0c\r\nDTITLE=Default / Path\r\nTTITLE0=Only\r\n"};

    FreedbTestServer standIn;
    standIn.addEntry(entry);
    standIn.setPath(CCDDBSite::kDefaultPath);
    SettingsRecord s{};
    s.TimeOut = 3000;
    s.UseProxy = 1;
    setText(s.Proxy, "127.0.0.1");
    s.Port = standIn.port();
    ScriptedPrompt prompt;
    XmcdRecord disc;
    ASSERT_EQ(FreedbLookup::Run(s, query, 1, prompt, {}, disc), FreedbOutcome::Found);
    ASSERT_FALSE(standIn.requests().empty());
    EXPECT_EQ(standIn.requests()[0].rfind("GET http://gnudb.gnudb.org/~cddb/cddb.cgi?cmd=cddb+query+", 0), 0u)
        << standIn.requests()[0];
    EXPECT_EQ(getText(s.Server), "");
    EXPECT_EQ(getText(s.Path), "");

    test::TempDir dir;
    TinyProxy proxy(dir, "melv", "s3cret");
    ASSERT_TRUE(proxy.running()) << "tinyproxy did not start";
    FreedbTestServer server;
    server.addEntry(entry);
    server.setPath(CCDDBSite::kDefaultPath);
    setText(s.Server, server.server());
    s.Port = proxy.port();
    setText(s.User, "melv");
    setText(s.Password, "s3cret");
    XmcdRecord viaProxy;
    ASSERT_EQ(FreedbLookup::Run(s, query, 1, prompt, {}, viaProxy), FreedbOutcome::Found);
    EXPECT_EQ(viaProxy.artist, "Default");
    EXPECT_EQ(server.requests().size(), 2u);
}
