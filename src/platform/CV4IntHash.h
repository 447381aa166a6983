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

namespace cv {
// Slot of a key among count slots (count >= 1), in 0 to count - 1.
int intHashSlot(std::int32_t key, int count);
} // namespace cv

template <class T> class CV4IntHash {
public:
    CV4IntHash() : CV4IntHash(31) {}
    explicit CV4IntHash(int slots) : _count(qMax(1, slots)), _work(size_t(_count)) {}

    int count() const { return _count; }

    void clear()
    {
        for (auto &slot : _work) slot = {};
    }

    // The object under the key, or null. Remembers key and slot for putRef().
    std::shared_ptr<T> findRef(int key)
    {
        _ident = key;
        _index = cv::intHashSlot(key, _count);
        _pending = true;
        Slot &slot = _work[size_t(_index)];
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
        if (!_pending) return; // no key to store under
        Slot &slot = _work[size_t(_index)];
        // Never keep two entries for one key: a stale one would hide the other key's entry.
        if (!(slot[0].used && slot[0].key == _ident)) slot[1] = std::move(slot[0]);
        slot[0] = Entry{_ident, object, true};
    }

private:
    struct Entry {
        int key = 0;
        std::weak_ptr<T> ref;
        bool used = false;
    };
    using Slot = std::array<Entry, 2>;

    int _count;
    int _ident = 0;
    int _index = 0;
    bool _pending = false;
    std::vector<Slot> _work;
};
