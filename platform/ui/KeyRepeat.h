#pragma once
// Held keys on the X server as presses only and one release at the end.

namespace plat
{

// A held key reaches X clients as a release and a press for every repeat, and Qt can
// tell such a pair from a real release only once the press has come too: on a busy
// machine a held Space on a check field would flip it once per repeat. Asks XKB for
// detectable auto-repeat, once per connection; nothing off X11 or without XKB.
void AskForDetectableAutoRepeat();

} // namespace plat
