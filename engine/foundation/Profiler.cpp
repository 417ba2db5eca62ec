#include "engine/foundation/Profiler.h"

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"

namespace {

constexpr float kSectionAlpha = 0.75f;
constexpr float kBarLineWidth = 3.0f;

ProfilerDrawHooks gDrawHooks;

uint32_t ClockStamp()
{
    uint32_t stamp = 0;
    Clock::ReadTSC(stamp);
    return stamp;
}

float ClockFrequency()
{
    return Clock::PerformanceFrequency();
}

}  // namespace

Profiler& Profiler::Instance()
{
    static Profiler profiler;
    return profiler;
}

Profiler::Profiler() : stampSource(&ClockStamp), frequencySource(&ClockFrequency) {}

void Profiler::SetStampSource(StampSource source)
{
    stampSource = source != nullptr ? source : &ClockStamp;
}

void Profiler::SetFrequencySource(FrequencySource source)
{
    frequencySource = source != nullptr ? source : &ClockFrequency;
}

void Profiler::SetDrawHooks(const ProfilerDrawHooks& hooks)
{
    gDrawHooks = hooks;
}

int Profiler::Register(const String& name, float red, float green, float blue)
{
    if (name.IsEmpty() || sectionCount >= kMaxSections)
        return -1;
    ProfileSection& section = sections[sectionCount];
    section.index = sectionCount;
    section.colour[0] = red;
    section.colour[1] = green;
    section.colour[2] = blue;
    section.colour[3] = kSectionAlpha;
    section.name = name;
    LogDBG("Registered profile %s", name.Chars());
    return sectionCount++;
}

bool Profiler::IsOpen(int section) const
{
    // The open sections form a chain from the current one up to the root;
    // the walk is bounded in case a stale parent closes a loop.
    int open = currentSection;
    for (int steps = 0; open >= 0 && steps < kMaxSections; ++steps) {
        if (open == section)
            return true;
        open = sections[open].parent;
    }
    return false;
}

void Profiler::Begin(int section)
{
    if (!enabled)
        return;
    // Beginning an open section would make it its own descendant, and the
    // computation would then recurse without end.
    if (section < 0 || section >= sectionCount || IsOpen(section)) {
        ++refusedBegins;
        return;
    }
    ProfileSection& record = sections[section];
    record.endStamp = 0;
    record.drawOffset = 0.0f;
    record.elapsed = 0.0f;
    record.fraction = 0.0f;
    record.childCount = 0;
    record.parent = -1;
    record.startStamp = stampSource();
    if (currentSection >= 0) {
        record.parent = currentSection;
        ProfileSection& parent = sections[currentSection];
        if (parent.childCount < ProfileSection::kMaxChildren)
            parent.children[parent.childCount++] = section;
    }
    currentSection = section;
    if (rootSection < 0)
        rootSection = section;
    ++beginCount;
}

void Profiler::End()
{
    if (!enabled)
        return;
    if (refusedBegins > 0) {
        --refusedBegins;
        return;
    }
    if (currentSection < 0)
        return;
    ProfileSection& record = sections[currentSection];
    record.endStamp = stampSource();
    currentSection = record.parent;
}

void Profiler::Compute()
{
    frameStartStamp = 0;
    frameEndStamp = 0;
    rootElapsed = 0.0f;
    const float frequency = frequencySource();
    stampDivisor = frequency > 0.0f ? frequency : 1.0f;
    if (rootSection < 0)
        return;
    bool frameStartSeen = false;
    ComputeSection(rootSection, 0, frameStartSeen);
    if (rootElapsed > maxRootElapsed)
        maxRootElapsed = rootElapsed;
}

void Profiler::ComputeSection(int section, int depth, bool& frameStartSeen)
{
    if (depth >= kMaxSections)
        return;
    ProfileSection& record = sections[section];
    record.elapsed = static_cast<float>(record.endStamp - record.startStamp) / stampDivisor;
    if (section == rootSection)
        rootElapsed = record.elapsed;
    if (!frameStartSeen) {
        frameStartStamp = record.startStamp;
        frameStartSeen = true;
    }
    if (record.endStamp > frameEndStamp)
        frameEndStamp = record.endStamp;
    if (record.elapsed > record.maxElapsed)
        record.maxElapsed = record.elapsed;
    if (rootElapsed > 0.0f) {
        record.fraction = record.elapsed / rootElapsed;
        if (record.fraction > record.maxFraction)
            record.maxFraction = record.fraction;
    }
    for (int i = 0; i < record.childCount; ++i)
        ComputeSection(record.children[i], depth + 1, frameStartSeen);
}

void Profiler::FrameHook()
{
    if (visible && enabled && !frozen)
        Compute();
    enabled = !enabled;
}

void Profiler::Draw()
{
    if (!visible)
        return;
    const ProfilerDrawHooks hooks = gDrawHooks;
    if (hooks.begin != nullptr)
        hooks.begin();
    if (drawBars && rootSection >= 0) {
        lineStart.Set(kBarLeft, kBarLeft, 0.0f);
        lineEnd.Set(kBarLeft, kBarLeft, 0.0f);
        DrawSection(rootSection, 0, hooks);
    }
    if (hooks.end != nullptr)
        hooks.end();
}

void Profiler::DrawSection(int section, int depth, const ProfilerDrawHooks& hooks)
{
    if (depth >= kMaxSections)
        return;
    ProfileSection& record = sections[section];
    const uint32_t frameSpan = frameEndStamp - frameStartStamp;
    // A frame with no measured length (nothing computed yet, or every stamp
    // equal) draws its bars from the left edge instead of dividing by zero.
    const float offset =
        frameSpan != 0 ? static_cast<float>(record.startStamp - frameStartStamp) / static_cast<float>(frameSpan) : 0.0f;
    lineStart.x = offset * kBarWidth + kBarLeft;
    lineEnd.x = record.fraction * kBarWidth + lineStart.x;
    record.drawOffset = lineStart.x;
    if (hooks.line != nullptr)
        hooks.line(lineStart, lineEnd, record.colour, kBarLineWidth);
    lineStart.y += kBarSpacing;
    lineEnd.y += kBarSpacing;
    for (int i = 0; i < record.childCount; ++i)
        DrawSection(record.children[i], depth + 1, hooks);
}

ProfileSection* Profiler::GetCurrentSection()
{
    return currentSection >= 0 ? &sections[currentSection] : nullptr;
}

const ProfileSection* Profiler::GetSection(int section) const
{
    if (section < 0 || section >= sectionCount)
        return nullptr;
    return &sections[section];
}
