#pragma once

#include <string>
#include <utility>

// What every audio reader answers, and the only way it fails: it read its format, the bytes are
// not its format, or they are its format but damaged, with the reason. Nothing else leaves a
// reader: a read the system fails is damage ("read error"), and so is a read the caller's
// progress callback stopped ("stopped").
namespace korvane::tags {

class ReadResult {
public:
    enum class Status { Read, NotThisFormat, Damaged };

    static ReadResult read() { return ReadResult(Status::Read, {}); }
    static ReadResult notThisFormat() { return ReadResult(Status::NotThisFormat, {}); }
    static ReadResult damaged(std::string reason) {
        return ReadResult(Status::Damaged, std::move(reason));
    }
    // Damage of another kind: the bytes could not be read at all (a file that cannot be opened,
    // a read the system failed or the caller stopped), so the reader saw nothing to judge.
    static ReadResult unreadable(std::string reason) {
        ReadResult result = damaged(std::move(reason));
        result.m_unreadable = true;
        return result;
    }
    static ReadResult readFailed() { return unreadable(kReadFailed); }
    static ReadResult stopped() { return unreadable(kStopped); }

    Status status() const { return m_status; }
    bool isRead() const { return m_status == Status::Read; }
    bool isDamaged() const { return m_status == Status::Damaged; }
    bool isUnreadable() const { return m_unreadable; }
    // Empty unless damaged.
    const std::string& reason() const { return m_reason; }
    explicit operator bool() const { return isRead(); }

    static constexpr const char* kReadFailed = "read error";
    static constexpr const char* kStopped = "stopped";

private:
    ReadResult(Status status, std::string reason) : m_status(status), m_reason(std::move(reason)) {}
    Status m_status;
    std::string m_reason;
    bool m_unreadable = false;
};

} // namespace korvane::tags
