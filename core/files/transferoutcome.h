#pragma once
// What a transfer does when its destination name is taken, and what it did.

#include "filepath.h"

enum class ConflictResolution { replace, keepBoth, skip };

// The result of one transfer under a ConflictResolution.
class TransferOutcome
{
public:
    static TransferOutcome completed(FilePath url) { return TransferOutcome(std::move(url)); }
    static TransferOutcome skipped() { return TransferOutcome(); }

    bool isCompleted() const { return m_completed; }
    bool isSkipped() const { return !m_completed; }
    const FilePath &url() const { return m_url; } // empty when skipped

    friend bool operator==(const TransferOutcome &, const TransferOutcome &) = default;

private:
    TransferOutcome() = default;
    explicit TransferOutcome(FilePath url) : m_completed(true), m_url(std::move(url)) {}
    bool m_completed = false;
    FilePath m_url;
};
