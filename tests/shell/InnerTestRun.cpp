#include "InnerTestRun.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

namespace vantreel::test {

void RunInnerTestsUnderXvfb(const InnerTestRun& run) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    if (qEnvironmentVariableIsSet(run.insideVariable)) {
        GTEST_SKIP() << "already inside";
    }
    QProcess inner;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(run.extra);
    environment.insert(run.insideVariable, run.insideValue);
    inner.setProcessEnvironment(environment);
    inner.setProcessChannelMode(QProcess::MergedChannels);
    inner.start("bash", {VANTREEL_SHELL_TEST_DIR "/run_under_xvfb.sh",
                         QCoreApplication::applicationFilePath(), "-platform", "xcb",
                         "--gtest_filter=" + run.filter});
    ASSERT_TRUE(inner.waitForFinished(run.timeoutMilliseconds));
    const QString output = QString::fromLocal8Bit(inner.readAll());
    SCOPED_TRACE(output.toStdString());
    EXPECT_EQ(inner.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(inner.exitCode(), 0);
    const QString passed = QString("[  PASSED  ] %1 test").arg(run.expectedPasses);
    EXPECT_TRUE(output.contains(passed)) << "the inner tests did not all pass";
}

} // namespace vantreel::test
