#pragma once
// Shared pieces of the patcher tests: a signing key, a scripted content
// server, a recording logger, and waiting for a file to say something.

#include "tests/support/TestPki.h"
#include "common/Ex/Logger.h"

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The server's header brings OpenSSL's "UI" type along, which clashes with
// our UI namespace: it stays inside the support's source file.
namespace WebTest {
class TestServer;
}

namespace PatcherTest {

/// A fresh Ed25519 key pair.
class SigningKey {
public:
    SigningKey();
    ~SigningKey();
    SigningKey(const SigningKey&) = delete;
    SigningKey& operator=(const SigningKey&) = delete;
    /// The public half in PEM.
    std::string PublicPem() const;
    /// Writes the public half to path.
    void WritePublicKey(const std::string& path) const;
    /// The 64-byte signature of content.
    std::string Sign(const std::string& content) const;

private:
    void* m_key; // EVP_PKEY
};

/// The patch folder of a content server on loopback, "/english/", with
/// files set per test. Every request is recorded with its query.
class ContentServer {
public:
    ContentServer();
    ~ContentServer();
    ContentServer(const ContentServer&) = delete;
    ContentServer& operator=(const ContentServer&) = delete;
    /// Serves body under name.
    void Put(const std::string& name, const std::string& body);
    /// Serves body under name and name + ".sig" with key's signature.
    void PutSigned(const std::string& name, const std::string& body, const SigningKey& key);
    /// Announces Content-Length of the whole body but closes the connection
    /// after half of it.
    void PutCut(const std::string& name, const std::string& body);
    void Remove(const std::string& name);
    /// "http://127.0.0.1:PORT/english/"
    std::string Base() const;
    /// The requests so far ("name?query"), in order.
    std::vector<std::string> Requests() const;
    /// How many requests asked for name.
    int CountOf(const std::string& name) const;

private:
    struct File {
        std::string body;
        bool cut = false;
    };
    mutable std::mutex m_mutex;
    std::map<std::string, File> m_files;
    std::vector<std::string> m_requests;
    std::unique_ptr<WebTest::TestServer> m_server;
    int m_port = 0;
};

/// Keeps every record, for looking into afterwards.
class RecordingLogger : public Ex::Logger {
public:
    void MoveContentsAndReOpen(const std::string&) override {}
    StringFormat GetStringFormat() const override { return Text; }
    void Write(const std::string& formattedText) override;
    bool Contains(const std::string& text) const;
    std::string All() const;

private:
    mutable std::mutex m_mutex;
    std::string m_text;
};

/// Waits until the file contains text (watching its directory with inotify);
/// false at the deadline.
bool WaitForFileContaining(const std::string& path, const std::string& text,
                           std::chrono::milliseconds timeout);

/// The whole content of a file, "" when it cannot be read.
std::string ReadFile(const std::string& path);
/// Writes content to path, replacing it, with the given mode.
void WriteFile(const std::string& path, const std::string& content, unsigned mode = 0644);
bool Exists(const std::string& path);

} // namespace PatcherTest
