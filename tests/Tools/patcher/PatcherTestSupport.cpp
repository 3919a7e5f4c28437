#include "PatcherTestSupport.h"

#include "tests/support/TestServer.h"

#include <fcntl.h>
#include <fstream>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PatcherTest {

SigningKey::SigningKey() : m_key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519")) {
    if (m_key == nullptr) {
        throw std::runtime_error("EVP_PKEY_Q_keygen failed");
    }
}

SigningKey::~SigningKey() {
    EVP_PKEY_free(static_cast<EVP_PKEY*>(m_key));
}

std::string SigningKey::PublicPem() const {
    std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), &BIO_free);
    PEM_write_bio_PUBKEY(out.get(), static_cast<EVP_PKEY*>(m_key));
    char* data = nullptr;
    const long length = BIO_get_mem_data(out.get(), &data);
    return std::string(data, static_cast<std::size_t>(length));
}

void SigningKey::WritePublicKey(const std::string& path) const {
    WriteFile(path, PublicPem());
}

std::string SigningKey::Sign(const std::string& content) const {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    std::string signature(64, '\0');
    std::size_t length = signature.size();
    if (EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, static_cast<EVP_PKEY*>(m_key)) != 1 ||
        EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length,
                       reinterpret_cast<const unsigned char*>(content.data()), content.size()) != 1) {
        throw std::runtime_error("EVP_DigestSign failed");
    }
    return signature;
}

ContentServer::ContentServer() : m_server(std::make_unique<WebTest::TestServer>()) {
    m_server->Routes().Get(
        "/english/([^/]+)", [this](const httplib::Request& request, httplib::Response& response) {
            const std::string name = request.matches[1];
            File file;
            bool found = false;
            {
                std::lock_guard lock(m_mutex);
                std::string query;
                for (const auto& [key, value] : request.params) {
                    query += key + value;
                }
                m_requests.push_back(name + "?" + query);
                const auto it = m_files.find(name);
                if (it != m_files.end()) {
                    file = it->second;
                    found = true;
                }
            }
            if (!found) {
                response.status = 404;
                response.set_content("no such file", "text/plain");
                return;
            }
            if (!file.cut) {
                response.set_content(file.body, "application/octet-stream");
                return;
            }
            const std::size_t total = file.body.size();
            response.set_content_provider(
                total, "application/octet-stream",
                [body = file.body, total](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    if (offset >= total / 2) {
                        return false; // the connection drops here
                    }
                    sink.write(body.data() + offset, total / 2 - offset);
                    return true;
                });
        });
    m_port = m_server->Start();
}

ContentServer::~ContentServer() {
    m_server->Stop();
}

void ContentServer::Put(const std::string& name, const std::string& body) {
    std::lock_guard lock(m_mutex);
    m_files[name] = File{body, false};
}

void ContentServer::PutSigned(const std::string& name, const std::string& body, const SigningKey& key) {
    Put(name, body);
    Put(name + ".sig", key.Sign(body));
}

void ContentServer::PutCut(const std::string& name, const std::string& body) {
    std::lock_guard lock(m_mutex);
    m_files[name] = File{body, true};
}

void ContentServer::Remove(const std::string& name) {
    std::lock_guard lock(m_mutex);
    m_files.erase(name);
}

std::string ContentServer::Base() const {
    return "http://127.0.0.1:" + std::to_string(m_port) + "/english/";
}

std::vector<std::string> ContentServer::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

int ContentServer::CountOf(const std::string& name) const {
    std::lock_guard lock(m_mutex);
    int count = 0;
    for (const std::string& request : m_requests) {
        count += request.rfind(name + "?", 0) == 0 ? 1 : 0;
    }
    return count;
}

void RecordingLogger::Write(const std::string& formattedText) {
    std::lock_guard lock(m_mutex);
    m_text += formattedText;
    m_text += "\n";
}

bool RecordingLogger::Contains(const std::string& text) const {
    std::lock_guard lock(m_mutex);
    return m_text.find(text) != std::string::npos;
}

std::string RecordingLogger::All() const {
    std::lock_guard lock(m_mutex);
    return m_text;
}

bool WaitForFileContaining(const std::string& path, const std::string& text,
                           std::chrono::milliseconds timeout) {
    const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch < 0) {
        return false;
    }
    const std::string directory = path.substr(0, path.rfind('/'));
    ::inotify_add_watch(watch, directory.c_str(), IN_MODIFY | IN_CLOSE_WRITE | IN_CREATE | IN_MOVED_TO);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool found = false;
    for (;;) {
        // Looked at after the watch is in place, so no change slips between.
        if (ReadFile(path).find(text) != std::string::npos) {
            found = true;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd fd{watch, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) > 0) {
            char events[4096];
            while (::read(watch, events, sizeof events) > 0) {
            }
        }
    }
    ::close(watch);
    return found;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content, unsigned mode) {
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << content;
    }
    ::chmod(path.c_str(), static_cast<mode_t>(mode));
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace PatcherTest
