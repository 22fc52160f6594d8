#pragma once

// The only exceptions of the system. CcExceptionMemory is raised when an
// allocation fails; nothing catches it, so it ends the process.
class CcExceptionBase {
public:
    virtual ~CcExceptionBase() = default;
    virtual void Reserved() {}
};

class CcExceptionMemory : public CcExceptionBase {};

// Raises CcExceptionMemory when an allocation returned null; returns the pointer otherwise.
template <typename T>
T* CheckAllocation(T* p)
{
    if (!p)
        throw CcExceptionMemory();
    return p;
}
