#pragma once

// Test helpers for signed outputs: a signing certificate made with the openssl program at test
// time, and an RFC 3161 time-stamping authority on 127.0.0.1.

#include <atomic>
#include <string>
#include <thread>

namespace quorlix::test {

// Whether a program is on PATH.
bool OnPath(const std::string& program);

// Runs a shell command with its output thrown away; its exit status.
int RunQuietly(const std::string& command);

// A self-signed RSA code signing certificate for one test and its PKCS#12 file.
struct TestCertificate {
    std::string pkcs12;       // <folder>/<name>.p12, holding key and certificate
    std::string certificate;  // <folder>/<name>.pem
    std::string key;          // <folder>/<name>.key, unencrypted
    std::string password;
    std::string subject;  // as RFC 2253 writes it: "CN=...,O=Dorvane Quorlix Tests"
};

// Makes a certificate with the common name commonName in folder; fails the test when openssl
// cannot.
TestCertificate MakeTestCertificate(const std::string& folder, const std::string& name,
                                    const std::string& commonName, const std::string& password);

// A time-stamping authority for one test: `openssl ts -reply` behind a minimal HTTP server on
// 127.0.0.1 (a port of its own), answering every POST on a thread of its own until it goes.
class TimestampResponder {
public:
    // A refusing authority answers every request with an HTTP error.
    explicit TimestampResponder(const std::string& folder, bool refusing = false);
    ~TimestampResponder();
    TimestampResponder(const TimestampResponder&) = delete;
    TimestampResponder& operator=(const TimestampResponder&) = delete;

    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/tsa"; }
    // The authority's certificate (PEM) and the subject its timestamps name.
    const std::string& certificate() const { return certificate_; }
    static constexpr const char* kSubject = "CN=Quorlix Test TSA,O=Dorvane Quorlix Tests";
    int requests() const { return requests_; }

private:
    void Serve();
    void Answer(int connection);

    std::string folder_;
    bool refusing_;
    std::string certificate_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

}  // namespace quorlix::test
