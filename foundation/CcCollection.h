#pragma once

// The polymorphic base of the collections; it holds nothing.
template <class TYPE, class ARG_TYPE>
class CcCollection {
public:
    CcCollection() = default;
    virtual ~CcCollection() = default;
    CcCollection(const CcCollection&) = delete;
    CcCollection& operator=(const CcCollection&) = delete;
};
