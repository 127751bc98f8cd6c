#pragma once

#include "gdiplus_types.h"

/// Root of every drawing-layer wrapper: keeps the wrapper's most recent failure.
///
/// A wrapper owns exactly one underlying drawing object for its whole life and is neither
/// copied nor moved. No operation throws for a failure: a failed status is stored in
/// LastStatus and returned; an Ok result leaves LastStatus as it was.
class TGdiplusBase {
public:
    TGdiplusBase() = default;
    TGdiplusBase(const TGdiplusBase &) = delete;
    TGdiplusBase &operator=(const TGdiplusBase &) = delete;
    virtual ~TGdiplusBase() = default;

    /// The most recent status other than Ok, or Ok when nothing has failed yet.
    GpStatus LastStatus() const { return FLastStatus; }

protected:
    /// Records a failed status and passes any status through.
    GpStatus SetStatus(GpStatus status) {
        if (status != GpStatus::Ok)
            FLastStatus = status;
        return status;
    }

private:
    GpStatus FLastStatus = GpStatus::Ok;
};
