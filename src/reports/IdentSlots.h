#pragma once
// Figures kept by account or category ident for reports that visit every
// entry of a period: a flat array over the idents a book uses (small
// numbers), so a row costs an index rather than a hash look-up; an ident
// beyond them (a damaged file) falls back to a map.

#include "model/Node.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace cv {

template <class T> class IdentSlots {
public:
    // Room for the idents up to `highest` in the array.
    explicit IdentSlots(int highest, T initial = T())
        : m_initial(initial), m_dense(size_t(std::clamp(highest, -1, kDenseLimit) + 1), initial)
    {
    }

    // The ident's slot, made with the initial value on first use. A slot
    // stays where it is while others are made.
    T &operator[](int ident)
    {
        if (ident >= 0 && size_t(ident) < m_dense.size()) return m_dense[size_t(ident)];
        return m_sparse.try_emplace(ident, m_initial).first->second;
    }

    // The highest ident in the trees below the roots.
    static int highestIn(std::initializer_list<NodePtr> roots)
    {
        int highest = -1;
        const auto walk = [&](const auto &self, const Node &node) -> void {
            highest = std::max(highest, node.ident());
            for (const NodePtr &child : node.children())
                if (child) self(self, *child);
        };
        for (const NodePtr &root : roots)
            if (root) walk(walk, *root);
        return highest;
    }

private:
    static constexpr int kDenseLimit = 1 << 20;
    T m_initial;
    std::vector<T> m_dense;
    std::unordered_map<int, T> m_sparse;
};

} // namespace cv
