#pragma once
// The core's device contexts. DC adds the mapping kind and the zoom to the plain
// context; DCX implements them: kind 1 maps pixels (zoomed), kind 2 maps 0.1 mm with
// y pointing up (zoomed), any other value is a plain map mode.

#include "DeviceContext.h"

#include <stdexcept>

// Thrown when a window context or a buffer cannot be made inside a constructor.
class DoxResourceException : public std::runtime_error
{
public:
    DoxResourceException() : std::runtime_error("device context resource") {}
};

class DC : public CDC
{
public:
    // The map mode of the context.
    virtual int GetMapping() { return GetMapMode(); }
    // Writes the zoom (percent) to out and returns out.
    virtual int* GetZoom(int* out);
    virtual void SetZoom(int /*zoom*/) {}
};

class DCX : public DC
{
public:
    // 1: pixel mapping, 2: 0.1 mm mapping, other values: that map mode. Returns the
    // previous kind.
    int SetMapMode(int kind) override;
    int GetMapping() override { return kind_; }
    // The stored zoom when it lies in 50..150, else 100.
    int* GetZoom(int* out) override;
    // Stored only; applied by the next SetMapMode.
    void SetZoom(int zoom) override { zoom_ = zoom; }

    int SetPixelMapping();
    int SetTenthMmMapping();

protected:
    int kind_ = 1;
    int zoom_ = 100;
};
