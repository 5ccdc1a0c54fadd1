// An array that owns heap copies of its elements: adding stores a copy (the
// caller keeps its own object), copying the array copies every element in
// order, and emptying or destroying it deletes every element. Elements keep
// their address for as long as they stay in the array, so pointers into it
// remain valid while the array is not changed.
#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include <wx/debug.h>

template <typename T>
class TOwningArray
{
public:
    TOwningArray() = default;
    TOwningArray(const TOwningArray& other) { CopyFrom(other); }
    TOwningArray(TOwningArray&& other) noexcept : m_items(std::move(other.m_items)) { other.Touch(); }
    TOwningArray& operator=(const TOwningArray& other)
    {
        if (this != &other) {
            Empty();
            CopyFrom(other);
        }
        return *this;
    }
    TOwningArray& operator=(TOwningArray&& other) noexcept
    {
        if (this != &other) {
            m_items = std::move(other.m_items);
            other.m_items.clear();
            other.Touch();
            Touch();
        }
        return *this;
    }
    ~TOwningArray() = default;

    // Appends a copy of the element.
    void Add(const T& element) { m_items.push_back(std::make_unique<T>(element)); Touch(); }
    // Appends the element by moving its content (the caller's object is left
    // valid but unspecified); used where a working object is not needed again.
    void Add(T&& element) { m_items.push_back(std::make_unique<T>(std::move(element))); Touch(); }
    // Takes ownership of a heap object.
    void Add(std::unique_ptr<T> element)
    {
        if (element) {
            m_items.push_back(std::move(element));
            Touch();
        }
    }
    // Inserts a copy before position index (index == count appends).
    void Insert(const T& element, size_t index)
    {
        wxCHECK_RET(index <= m_items.size(), "index out of range");
        m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(index), std::make_unique<T>(element));
        Touch();
    }
    // Deletes the element at index.
    void RemoveAt(size_t index)
    {
        wxCHECK_RET(index < m_items.size(), "index out of range");
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
        Touch();
    }

    // Puts the elements in a new order: element k becomes the one that was
    // at order[k] (`order` is a permutation of 0..count-1). Elements keep
    // their address; nothing is copied.
    void Permute(const std::vector<size_t>& order)
    {
        wxCHECK_RET(order.size() == m_items.size(), "not a permutation of the elements");
        std::vector<bool> taken(order.size(), false);
        for (size_t index : order) {
            wxCHECK_RET(index < taken.size() && !taken[index], "not a permutation of the elements");
            taken[index] = true;
        }
        std::vector<std::unique_ptr<T>> items;
        items.reserve(m_items.size());
        for (size_t index : order)
            items.push_back(std::move(m_items[index]));
        m_items = std::move(items);
        Touch();
    }
    // Deletes every element.
    void Empty() { m_items.clear(); Touch(); }
    void Clear() { m_items.clear(); Touch(); }

    // Changes with every change of this array's own list of elements (not
    // with changes inside the elements); lets a cache over the array notice
    // that it was rebuilt.
    unsigned long Version() const { return m_version; }

    size_t GetCount() const { return m_items.size(); }
    size_t size() const { return m_items.size(); }
    bool IsEmpty() const { return m_items.empty(); }
    void Reserve(size_t n) { m_items.reserve(n); }

    T& Item(size_t index) { return *m_items.at(index); }
    const T& Item(size_t index) const { return *m_items.at(index); }
    T& operator[](size_t index) { return Item(index); }
    const T& operator[](size_t index) const { return Item(index); }
    T& Last() { return *m_items.back(); }
    const T& Last() const { return *m_items.back(); }

    // Iteration yields the elements themselves.
    template <typename Elem, typename Base>
    class Iter
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = Elem*;
        using reference = Elem&;
        explicit Iter(Base it) : m_it(it) {}
        reference operator*() const { return **m_it; }
        pointer operator->() const { return m_it->get(); }
        Iter& operator++() { ++m_it; return *this; }
        Iter operator++(int) { Iter t(*this); ++m_it; return t; }
        Iter& operator--() { --m_it; return *this; }
        Iter& operator+=(difference_type n) { m_it += n; return *this; }
        Iter operator+(difference_type n) const { return Iter(m_it + n); }
        difference_type operator-(const Iter& o) const { return m_it - o.m_it; }
        bool operator==(const Iter& o) const { return m_it == o.m_it; }
        bool operator!=(const Iter& o) const { return m_it != o.m_it; }
        bool operator<(const Iter& o) const { return m_it < o.m_it; }
    private:
        Base m_it;
    };
    using iterator = Iter<T, typename std::vector<std::unique_ptr<T>>::iterator>;
    using const_iterator = Iter<const T, typename std::vector<std::unique_ptr<T>>::const_iterator>;
    iterator begin() { return iterator(m_items.begin()); }
    iterator end() { return iterator(m_items.end()); }
    const_iterator begin() const { return const_iterator(m_items.begin()); }
    const_iterator end() const { return const_iterator(m_items.end()); }

private:
    void CopyFrom(const TOwningArray& other)
    {
        m_items.reserve(other.m_items.size());
        for (const auto& p : other.m_items)
            m_items.push_back(std::make_unique<T>(*p));
        Touch();
    }

    void Touch() { ++m_version; }

    std::vector<std::unique_ptr<T>> m_items;
    unsigned long m_version = 0;
};
