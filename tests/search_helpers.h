// What the search's tests share: a whole 4 x 4 search made once per test
// program, and searches of ranges and samples.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>

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

// B2/S2H but for one birth: no cell is born of exactly its N and S
// neighbours, while the two other opposite pairs still bear one. Not
// isotropic, so Golly and the files know it by its MAP string only.
inline hexlife::rule::Rule AsymmetricRule()
{
    hexlife::rule::Rule rule;
    rule.Set(hexlife::rule::N | hexlife::rule::S, false);
    return rule;
}

// A result's text with its checksum made right again after an edit: only
// its structure can give it away.
inline std::string Resummed(std::string body)
{
    body = body.substr(0, body.rfind("checksum "));
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const char c : body) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", (unsigned long long)h);
    return body + "checksum " + hex + "\n";
}

}  // namespace testing
