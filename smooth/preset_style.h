#pragma once

/// A control that can take one of ten preset looks (numbered 0 to 9), as a design aid; the
/// program's window never applies one.
class IPresetStyled {
public:
    virtual ~IPresetStyled() = default;
    /// Applies preset look number style; numbers outside 0 to 9 change at most the gradient
    /// kind.
    virtual void ApplyPresetStyle(int style) = 0;
};
