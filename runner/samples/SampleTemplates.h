#pragma once
// The templates of the shipped sample library, as a bank clerk knows them.

#include <string>
#include <vector>

class IDoxCore;

namespace samples
{

struct SampleTemplate {
    std::wstring fileName; // "转账支票.dxt"
    int pages;
};

// The samples in the order they are made.
const std::vector<SampleTemplate>& SampleTemplates();

// Makes every sample in the folder (which must exist), each with its icon. False with
// the reason on the first failure.
bool MakeSampleTemplates(IDoxCore* core, const std::wstring& folder, std::wstring* reason);

// The library version the samples are shipped as.
constexpr int kSampleLibraryVersion = 2;

} // namespace samples
