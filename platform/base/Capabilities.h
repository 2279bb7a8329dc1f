#pragma once
// Optional drawing entry points. On Windows they are bound by name at start-up and
// may be missing; here they are flags set at start-up, so each fallback (plain
// blit, solid fill, no drop shadow) stays reachable and testable by clearing a flag.

namespace plat
{

struct Capabilities {
    bool alphaBlend = false;
    bool gradientFill = false;
    bool updateLayeredWindow = false;
    bool setLayeredWindowAttributes = false;
};

// The process-wide flags; all false until BindOptionalEntryPoints runs.
Capabilities& GetCapabilities();

// Sets every flag that this platform supports (all of them with Qt).
void BindOptionalEntryPoints();

// Clears every flag (the core's shut-down).
void UnbindOptionalEntryPoints();

} // namespace plat
