#pragma once

#include "foundation/CcException.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

// The polymorphic base of the collections; it holds nothing.
template <class TYPE, class ARG_TYPE>
class CcCollection {
public:
    CcCollection() = default;
    virtual ~CcCollection() = default;
    CcCollection(const CcCollection&) = delete;
    CcCollection& operator=(const CcCollection&) = delete;
};

// A contiguous array of values. Elements are relocated bitwise when the storage
// grows, so TYPE must not hold pointers into itself (a CcString holds only a
// pointer to its shared block). New elements are zero-filled, then constructed.
// Indexes are not checked: callers keep them within 0 ... size - 1.
template <class TYPE, class ARG_TYPE>
class CcArray : public CcCollection<TYPE, ARG_TYPE> {
public:
    CcArray() = default;
    ~CcArray() override { RemoveAll(); }

    int GetSize() const { return size_; }
    int GetCapacity() const { return capacity_; }
    int GetGrowBy() const { return growBy_; }

    TYPE& operator[](int index) { return data_[index]; }
    const TYPE& operator[](int index) const { return data_[index]; }

    // growBy: elements added per growth step, 0 = automatic, -1 = keep the current step.
    void SetSize(int size, int growBy = -1)
    {
        if (growBy != -1)
            growBy_ = growBy;
        if (size == 0) {
            RemoveAll();
            return;
        }
        if (!data_) {
            data_ = Allocate(size);
            Construct(0, size);
            capacity_ = size;
        } else if (size <= capacity_) {
            if (size > size_)
                Construct(size_, size);
            else
                Destroy(size, size_);
        } else {
            int step = growBy_;
            if (step == 0)
                step = size_ / 8 < 4 ? 4 : size_ / 8 > 1024 ? 1024 : size_ / 8;
            const long long grown = static_cast<long long>(capacity_) + step;
            const int capacity = size < grown ? static_cast<int>(grown < INT_MAX ? grown : INT_MAX) : size;
            TYPE* data = Allocate(capacity);
            std::memcpy(static_cast<void*>(data), static_cast<const void*>(data_), sizeof(TYPE) * size_);
            std::free(data_);
            data_ = data;
            capacity_ = capacity;
            Construct(size_, size);
        }
        size_ = size;
    }

    void SetAtGrow(int index, ARG_TYPE element)
    {
        if (index >= size_) {
            // The element may live in this array: find it again after the storage moved.
            const TYPE* source = &element;
            const bool inside = data_ && source >= data_ && source < data_ + size_;
            const int at = inside ? static_cast<int>(source - data_) : 0;
            SetSize(index + 1, -1);
            data_[index] = inside ? data_[at] : element;
            return;
        }
        data_[index] = element;
    }

    void RemoveAt(int index, int count = 1)
    {
        Destroy(index, index + count);
        const int behind = size_ - index - count;
        if (behind > 0) {
            std::memmove(static_cast<void*>(data_ + index), static_cast<const void*>(data_ + index + count),
                         sizeof(TYPE) * behind);
        }
        size_ -= count;
    }

    void RemoveAll()
    {
        Destroy(0, size_);
        std::free(data_);
        data_ = nullptr;
        size_ = 0;
        capacity_ = 0;
    }

private:
    static TYPE* Allocate(int count)
    {
        if (count < 0 || static_cast<size_t>(count) > SIZE_MAX / sizeof(TYPE))
            throw CcExceptionMemory();
        return static_cast<TYPE*>(CheckAllocation(std::malloc(sizeof(TYPE) * count)));
    }

    void Construct(int first, int end)
    {
        std::memset(static_cast<void*>(data_ + first), 0, sizeof(TYPE) * (end - first));
        for (int i = first; i < end; ++i)
            ::new (static_cast<void*>(data_ + i)) TYPE();
    }

    void Destroy(int first, int end)
    {
        for (int i = first; i < end; ++i)
            data_[i].~TYPE();
    }

    TYPE* data_ = nullptr;
    int size_ = 0;
    int capacity_ = 0;
    int growBy_ = 0;
};
