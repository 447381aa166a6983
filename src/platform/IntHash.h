#pragma once
// A small fixed-size cache from idents to objects, in front of the document's
// find-by-ident walks. Each slot keeps the two most recently used entries.
//
// Entries hold weak references: the cache never keeps an object alive, and an
// object that went away before the cache was cleared is a miss, never a
// dangling pointer.

#include <QtGlobal>

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// Slot of a key among count slots (count >= 1), in 0 to count - 1.
namespace cv {

int intHashSlot(std::int32_t key, int count);

template <class T> class IntHash {
public:
    IntHash() : IntHash(31) {}
    explicit IntHash(int slots) : m_count(qMax(1, slots)), m_work(size_t(m_count)) {}

    int count() const { return m_count; }

    void clear()
    {
        for (auto &slot : m_work) slot = {};
    }

    // The object under the key, or null. Remembers key and slot for putRef().
    std::shared_ptr<T> findRef(int key)
    {
        m_ident = key;
        m_index = cv::intHashSlot(key, m_count);
        m_pending = true;
        Slot &slot = m_work[size_t(m_index)];
        if (slot[0].used && slot[0].key == key) return slot[0].ref.lock();
        if (slot[1].used && slot[1].key == key) {
            std::swap(slot[0], slot[1]);
            return slot[0].ref.lock();
        }
        return nullptr;
    }

    // Stores the object under the key of the last findRef() as the slot's most
    // recent entry; the least recent one is dropped.
    void putRef(const std::shared_ptr<T> &object)
    {
        if (!m_pending) return; // no key to store under
        Slot &slot = m_work[size_t(m_index)];
        // Never keep two entries for one key: a stale one would hide the other key's entry.
        if (!(slot[0].used && slot[0].key == m_ident)) slot[1] = std::move(slot[0]);
        slot[0] = Entry{m_ident, object, true};
    }

private:
    struct Entry {
        int key = 0;
        std::weak_ptr<T> ref;
        bool used = false;
    };
    using Slot = std::array<Entry, 2>;

    int m_count;
    int m_ident = 0;
    int m_index = 0;
    bool m_pending = false;
    std::vector<Slot> m_work;
};

} // namespace cv
