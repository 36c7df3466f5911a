// EXPECT_IN_CHILD_PROCESS(statements): runs the statements, expectations and
// all, in a process of its own (a GoogleTest death test) and passes when
// every expectation there held.
//
// For checks that can leave one of Wine's GStreamer threads stuck for good
// (a graph that never returns on a damaged file, which the control gives up
// on): Wine may crash such a process as it exits, when it kills that
// thread, so the child's verdict counts and its exit code does not. A
// failed expectation in the child is shown in the parent's failure.
#ifndef LUMAREL_TESTS_CHILDPROCESSCHECK_H
#define LUMAREL_TESTS_CHILDPROCESSCHECK_H

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#define LUMAREL_CHILD_VERDICT "child process: every expectation held"

// In the child: the verdict on stderr, after every failed expectation of
// the test so far, which the parent shows when the verdict is missing.
inline void PrintChildVerdict()
{
    const ::testing::TestResult* result =
        ::testing::UnitTest::GetInstance()->current_test_info()->result();
    bool failed = false;
    for (int i = 0; i < result->total_part_count(); ++i) {
        const ::testing::TestPartResult& part = result->GetTestPartResult(i);
        if (part.failed()) {
            failed = true;
            std::fprintf(stderr, "%s:%d: %s\n", part.file_name() ? part.file_name() : "?",
                         part.line_number(), part.summary());
        }
    }
    std::fprintf(stderr, "%s\n", failed ? "child process: failed" : LUMAREL_CHILD_VERDICT);
    std::fflush(stderr);
}

#define EXPECT_IN_CHILD_PROCESS(statements)                                            \
    EXPECT_EXIT(                                                                       \
        {                                                                              \
            statements;                                                                \
            PrintChildVerdict();                                                       \
            ExitProcess(0);                                                            \
        },                                                                             \
        [](int) { return true; }, LUMAREL_CHILD_VERDICT)

#endif
