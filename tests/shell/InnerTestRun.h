#pragma once
// The tests that need a real X server run twice: the outer test starts this same test
// program on a private Xvfb display with a marker variable set, running only the
// inner tests, and checks they all passed; the inner tests skip themselves wherever
// the marker is missing.

#include <QProcessEnvironment>
#include <QString>

namespace vantreel::test {

struct InnerTestRun {
    const char* insideVariable = nullptr; // set to `insideValue` for the inner run
    QString insideValue = "1";
    QString filter;         // the inner tests' --gtest_filter
    int expectedPasses = 1; // how many inner tests must pass
    int timeoutMilliseconds = 120000;
    QProcessEnvironment extra = {}; // more variables for the inner run
};

// Skips the calling test without Xvfb or when already inside; otherwise runs the inner
// tests and reports through gtest expectations, with their output as the trace.
void RunInnerTestsUnderXvfb(const InnerTestRun& run);

} // namespace vantreel::test
