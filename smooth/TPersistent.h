#pragma once

#include <stdexcept>

/// Raised when an object is asked to copy from an object of a kind it cannot take.
class EInvalidCast : public std::runtime_error {
public:
    EInvalidCast() : std::runtime_error("Invalid class typecast") {}
};

/// Root of the objects whose content can be copied from one to another (fills, captions).
class TPersistent {
public:
    TPersistent() = default;
    TPersistent(const TPersistent &) = delete;
    TPersistent &operator=(const TPersistent &) = delete;
    virtual ~TPersistent() = default;

    /// Copies the content of source into this object.
    /// \throws EInvalidCast when source is not of a kind this object copies from (the base
    /// copies from nothing).
    virtual void Assign(const TPersistent *source) {
        (void)source;
        throw EInvalidCast();
    }
};
