// What the search's tests share: a whole 4 x 4 search made once per test
// program, and searches of ranges and samples.
#pragma once

#include <atomic>

#include "search/result_file.h"
#include "search/search.h"

namespace testing {

using namespace hexlife::search;

// A whole 4 x 4 search, made once: the objects it finds feed several tests.
inline const Result& Search44()
{
    static const Result result = [] {
        Result r;
        r.box = {4, 4};
        r.end = r.box.figures();
        std::atomic<bool> cancel{false};
        RunSearch({r.box, 0, r.end, false, 0, 2}, r.progress, cancel);
        return r;
    }();
    return result;
}

inline Result RunRange(const Box& box, std::uint64_t begin, std::uint64_t end, int threads, bool sample = false,
                       std::uint64_t seed = 0, const hexlife::rule::Rule& rule = {})
{
    Result r;
    r.box = box;
    r.rule = rule;
    r.begin = begin;
    r.end = end;
    r.sample = sample;
    r.seed = seed;
    std::atomic<bool> cancel{false};
    Request request{box, begin, end, sample, seed, threads};
    request.rule = rule;
    RunSearch(request, r.progress, cancel);
    return r;
}

}  // namespace testing
