#pragma once
// The printing program's host interface: what the plug-in is handed as its host and
// what the library copy and the backup ask for the user's data folder. The slot
// order is part of the protocol; keep it.

class IDoxHost
{
public:
    // The user data folder (NUL-terminated, valid while the application lives).
    virtual const wchar_t* GetDataDirectory() = 0;

protected:
    ~IDoxHost() = default;
};
