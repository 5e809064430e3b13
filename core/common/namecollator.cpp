#include "namecollator.h"

#include "halvedwork.h"
#include "prefault.h"

#include <QtEndian>

#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

namespace {

// Below this many names, one thread makes all the keys.
constexpr size_t SharedKeysMinimum = 8192;

// The collation keys of names [from, to), one after another in one buffer, each followed by
// enough zero bytes that eight bytes can be read from any place inside it.
class KeyTable
{
public:
    static constexpr size_t Padding = 7;

    KeyTable(const UCollator *collator, const QList<QString> &names, size_t from, size_t to)
    {
        m_starts.reserve(to - from);
        grow((to - from) * 40 + 64);
        for (size_t i = from; i < to; ++i)
            append(collator, names.at(qsizetype(i)));
    }

    // Bytes [8 * depth, 8 * depth + 8) of the key of the `index`th name made, big-endian, so that comparing two chunks
    // compares those bytes. A key ends with a zero byte and no other byte of it is zero, so the
    // zeros past its end sort a key before every longer key it begins.
    quint64 chunk(quint32 index, size_t depth) const
    {
        quint64 value;
        std::memcpy(&value, m_bytes.get() + m_starts[index] + 8 * depth, sizeof value);
        return qFromBigEndian(value);
    }

private:
    void append(const UCollator *collator, const QString &name)
    {
        static_assert(sizeof(UChar) == sizeof(QChar));
        const auto *text = reinterpret_cast<const UChar *>(name.utf16());
        const auto length = int32_t(name.size());
        size_t room = 32 + 4 * size_t(length);
        for (;;) {
            if (m_capacity < m_used + room + Padding + 1)
                grow(std::max(m_capacity * 2, m_used + room + Padding + 1));
            const int32_t size = collator ? ucol_getSortKey(collator, text, length, m_bytes.get() + m_used, int32_t(room))
                                          : fallbackKey(name, room);
            if (size_t(size) <= room) {
                m_starts.push_back(m_used);
                m_used += size_t(size);
                if (size == 0 || m_bytes[m_used - 1] != 0)
                    m_bytes[m_used++] = 0;
                std::memset(m_bytes.get() + m_used, 0, Padding);
                m_used += Padding;
                return;
            }
            room = size_t(size);
        }
    }

    // Without collation data: the case-folded UTF-8, which at least groups names sensibly.
    int32_t fallbackKey(const QString &name, size_t room)
    {
        const QByteArray key = name.toCaseFolded().toUtf8().replace('\0', '\1');
        if (size_t(key.size()) < room)
            std::memcpy(m_bytes.get() + m_used, key.constData(), size_t(key.size()) + 1);
        return int32_t(key.size() + 1);
    }

    // Left uninitialised: every byte read is written first.
    void grow(size_t capacity)
    {
        std::unique_ptr<uint8_t[]> bytes(new uint8_t[capacity]);
        prefault(bytes.get(), capacity);
        if (m_used > 0)
            std::memcpy(bytes.get(), m_bytes.get(), m_used);
        m_bytes = std::move(bytes);
        m_capacity = capacity;
    }

    std::unique_ptr<uint8_t[]> m_bytes;
    size_t m_capacity = 0;
    size_t m_used = 0;
    std::vector<size_t> m_starts;
};

// Every name's key, made in two halves by two threads where there are many.
class Keys
{
public:
    Keys(const UCollator *collator, const QList<QString> &names)
    {
        inTwoHalves(size_t(names.size()), SharedKeysMinimum, [&](size_t from, size_t to) {
            if (from == 0) {
                m_first.emplace(collator, names, from, to);
                return;
            }
            // A collator is used by one thread at a time: the second half gets a copy.
            UErrorCode status = U_ZERO_ERROR;
            UCollator *copy = collator ? ucol_clone(collator, &status) : nullptr;
            m_second.emplace(U_SUCCESS(status) ? copy : nullptr, names, from, to);
            if (copy)
                ucol_close(copy);
        });
        m_split = m_second ? quint32(names.size() / 2) : quint32(names.size());
    }

    quint64 chunk(quint32 index, size_t depth) const
    {
        return index < m_split ? m_first->chunk(index, depth) : m_second->chunk(index - m_split, depth);
    }

private:
    std::optional<KeyTable> m_first;
    std::optional<KeyTable> m_second;
    quint32 m_split = 0;
};

struct Slot
{
    quint64 chunk;
    quint32 index;
};

// Sorts the names by their keys eight bytes at a time: the slots by their first eight bytes,
// then each run that shares them by the next eight, and so on. Each round compares integers
// held in the slots, where comparing whole keys would look up two keys in memory each time.
// Equal keys stay in index order. A slot that begins a run at any round begins a group of
// equal names in `groupStarts`.
class KeySort
{
public:
    KeySort(const Keys &keys, std::vector<Slot> &slots, std::vector<bool> &groupStarts)
        : m_keys(keys), m_base(slots.data()), m_groupStarts(groupStarts)
    {
        if (!slots.empty())
            sortRun(slots.data(), slots.data() + slots.size(), 0);
    }

private:
    void sortRun(Slot *first, Slot *last, size_t depth)
    {
        for (Slot *slot = first; slot != last; ++slot)
            slot->chunk = m_keys.chunk(slot->index, depth);
        std::sort(first, last, [](const Slot &a, const Slot &b) {
            return a.chunk != b.chunk ? a.chunk < b.chunk : a.index < b.index;
        });
        for (Slot *run = first; run != last;) {
            Slot *end = run + 1;
            while (end != last && end->chunk == run->chunk)
                ++end;
            m_groupStarts[size_t(run - m_base)] = true;
            // A chunk whose last byte is zero holds the end of its key: the run's keys are equal.
            if (end - run > 1 && (run->chunk & 0xff) != 0)
                sortRun(run, end, depth + 1);
            run = end;
        }
    }

    const Keys &m_keys;
    Slot *m_base;
    std::vector<bool> &m_groupStarts;
};

} // namespace

QLocale NameCollator::collationLocale()
{
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return system;
}

// Case differences are left out (secondary strength) while accents still count; digit runs
// compare by value; punctuation and spaces count like letters.
NameCollator::NameCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    m_collator = ucol_open(collationLocale().bcp47Name().replace(QLatin1Char('-'), QLatin1Char('_')).toLatin1().constData(),
                           &status);
    if (U_FAILURE(status)) {
        m_collator = nullptr;
        return;
    }
    const std::pair<UColAttribute, UColAttributeValue> settings[] = {
        {UCOL_NORMALIZATION_MODE, UCOL_ON},
        {UCOL_STRENGTH, UCOL_SECONDARY},
        {UCOL_NUMERIC_COLLATION, UCOL_ON},
        {UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE},
    };
    for (const auto &[attribute, value] : settings) {
        status = U_ZERO_ERROR;
        ucol_setAttribute(m_collator, attribute, value, &status);
    }
}

NameCollator::~NameCollator()
{
    if (m_collator)
        ucol_close(m_collator);
}

NameCollator::Order NameCollator::order(const QList<QString> &names) const
{
    const Keys keys(m_collator, names);
    std::vector<Slot> slots;
    reservePrefaulted(slots, size_t(names.size()));
    slots.resize(size_t(names.size()));
    for (size_t i = 0; i < slots.size(); ++i)
        slots[i].index = quint32(i);
    std::vector<bool> groupStarts(slots.size());
    KeySort(keys, slots, groupStarts);

    Order order;
    reservePrefaulted(order.byName, slots.size());
    reservePrefaulted(order.ranks, slots.size());
    order.byName.resize(slots.size());
    order.ranks.resize(slots.size());
    quint32 rank = 0;
    for (size_t place = 0; place < slots.size(); ++place) {
        if (place > 0 && groupStarts[place])
            ++rank;
        order.byName[place] = slots[place].index;
        order.ranks[slots[place].index] = rank;
    }
    return order;
}
