#pragma once
// The words the benchmarks' documents are written in, and the repeatable choice among them, so
// that every run paints the same screens.

#include <QString>

namespace velmora::bench {

inline constexpr const char* kBenchWords[] = {
    "the",      "presentation", "of",         "screen",   "and",       "a",        "spectators",
    "server",   "picture",      "upload",     "to",       "with",      "document", "quarterly",
    "results",  "in",           "table",      "figures",  "meeting",   "agenda",   "is",
    "for",      "project",      "review",     "budget",   "timeline",  "which",    "we",
    "proposal", "summary",      "page",       "section",  "following", "on",       "customers",
    "growth",   "revenue",      "March",      "delivery", "2026",      "risk",     "plan",
    "market",   "analysis",     "north",      "region",   "team",      "schedule", "approved",
    "pending",  "increase",     "decrease",   "forecast", "quality",   "support",  "contract",
    "partners", "training",     "operations", "report"};
inline constexpr unsigned kAllBenchWords = sizeof(kBenchWords) / sizeof(kBenchWords[0]);

// The next word among the first wordCount, from a seed that the call moves on.
inline QString nextBenchWord(unsigned& seed, unsigned wordCount)
{
    seed = seed * 1103515245u + 12345u;
    return QString::fromLatin1(kBenchWords[(seed >> 16) % wordCount]);
}

} // namespace velmora::bench
