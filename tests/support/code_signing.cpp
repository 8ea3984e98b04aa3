#include "support/code_signing.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "support/test_folder.h"

namespace quorlix::test {

namespace {

constexpr char kOrganisation[] = "Dorvane Quorlix Tests";

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

// A self-signed certificate and key; extra is more of openssl req's options.
void MakeKeyAndCertificate(const std::string& key, const std::string& certificate,
                           const std::string& commonName, const std::string& extra) {
    const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout " +
                                Quoted(key) + " -out " + Quoted(certificate) + " -subj " +
                                Quoted("/O=" + std::string(kOrganisation) + "/CN=" + commonName) +
                                " " + extra;
    ASSERT_EQ(RunQuietly(command), 0) << command;
}

bool WriteAll(int descriptor, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// The request's body: the headers end at a blank line and Content-Length gives its length.
std::string ReadRequestBody(int connection) {
    std::string request;
    char buffer[4096];
    std::size_t headerEnd = std::string::npos;
    std::size_t length = 0;
    while (headerEnd == std::string::npos || request.size() < headerEnd + 4 + length) {
        pollfd wait{connection, POLLIN, 0};
        if (::poll(&wait, 1, 5000) <= 0) {
            return {};
        }
        const ssize_t got = ::read(connection, buffer, sizeof buffer);
        if (got <= 0) {
            return {};
        }
        request.append(buffer, static_cast<std::size_t>(got));
        if (headerEnd == std::string::npos &&
            (headerEnd = request.find("\r\n\r\n")) != std::string::npos) {
            std::string headers = request.substr(0, headerEnd);
            for (char& c : headers) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            const std::size_t at = headers.find("content-length:");
            length = at == std::string::npos ? 0 : std::stoul(headers.substr(at + 15));
        }
    }
    return request.substr(headerEnd + 4, length);
}

}  // namespace

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

int RunQuietly(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TestCertificate MakeTestCertificate(const std::string& folder, const std::string& name,
                                    const std::string& commonName, const std::string& password) {
    TestCertificate made;
    made.pkcs12 = folder + "/" + name + ".p12";
    made.certificate = folder + "/" + name + ".pem";
    made.key = folder + "/" + name + ".key";
    made.password = password;
    made.subject = "CN=" + commonName + ",O=" + kOrganisation;
    MakeKeyAndCertificate(made.key, made.certificate, commonName,
                          "-addext extendedKeyUsage=codeSigning");
    const std::string command = "openssl pkcs12 -export -inkey " + Quoted(made.key) + " -in " +
                                Quoted(made.certificate) + " -out " + Quoted(made.pkcs12) +
                                " -passout " + Quoted("pass:" + password);
    EXPECT_EQ(RunQuietly(command), 0) << command;
    return made;
}

TimestampResponder::TimestampResponder(const std::string& folder, bool refusing)
    : folder_(folder), refusing_(refusing) {
    certificate_ = folder + "/tsa.pem";
    MakeKeyAndCertificate(folder + "/tsa.key", certificate_, "Quorlix Test TSA",
                          "-addext 'extendedKeyUsage=critical,timeStamping'");
    WriteFile(folder + "/tsa.cnf",
              "[ tsa ]\ndefault_tsa = tsa_config\n[ tsa_config ]\ndir = " + folder +
                  "\nserial = $dir/tsaserial\ncrypto_device = builtin\n"
                  "signer_cert = $dir/tsa.pem\nsigner_key = $dir/tsa.key\n"
                  "signer_digest = sha256\ndefault_policy = 1.2.3.4.1\n"
                  "digests = sha256, sha384, sha512\naccuracy = secs:1\nordering = yes\n"
                  "tsa_name = yes\ness_cert_id_chain = no\ness_cert_id_alg = sha256\n");
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    const bool listening =
        listener_ >= 0 &&
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(listener_, 4) == 0 &&
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) == 0;
    EXPECT_TRUE(listening) << "no listening socket on 127.0.0.1";
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

TimestampResponder::~TimestampResponder() {
    stop_ = true;
    thread_.join();
    if (listener_ >= 0) {
        ::close(listener_);
    }
}

void TimestampResponder::Serve() {
    while (!stop_ && listener_ >= 0) {
        pollfd wait{listener_, POLLIN, 0};
        if (::poll(&wait, 1, 50) <= 0) {
            continue;
        }
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0) {
            Answer(connection);
            ::close(connection);
        }
    }
}

void TimestampResponder::Answer(int connection) {
    const std::string query = folder_ + "/query.tsq";
    const std::string reply = folder_ + "/reply.tsr";
    WriteFile(query, ReadRequestBody(connection));
    const int status =
        refusing_ ? 1
                  : RunQuietly("openssl ts -reply -config " + Quoted(folder_ + "/tsa.cnf") +
                               " -queryfile " + Quoted(query) + " -out " + Quoted(reply));
    ++requests_;
    const std::string body = status == 0 ? ReadFile(reply) : std::string();
    WriteAll(connection, (status == 0 ? std::string("HTTP/1.0 200 OK\r\n")
                                      : std::string("HTTP/1.0 500 Internal Server Error\r\n")) +
                             "Content-Type: application/timestamp-reply\r\nContent-Length: " +
                             std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
}

}  // namespace quorlix::test
