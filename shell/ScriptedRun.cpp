#include "shell/ScriptedRun.h"

#include "shell/MainFrame.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace vantreel {

namespace {

constexpr int kSettleMilliseconds = 1000; // the window is mapped and painted by then
constexpr int kPollMilliseconds = 20;
constexpr int kGiveUpPolls = 500;
constexpr int kBetweenClosesMilliseconds = 300;

void Report(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void SaveScreenshot(CMainFrame& frame, const QString& path) {
    const QPixmap shot = frame.screen()->grabWindow(frame.winId());
    if (shot.isNull() || !shot.save(path)) {
        Report("Screenshot failed: " + path);
        return;
    }
    Report("Screenshot saved to " + path);
}

QMessageBox::StandardButton ButtonFor(const QString& answer) {
    return answer.trimmed().compare("yes", Qt::CaseInsensitive) == 0 ? QMessageBox::Yes
                                                                     : QMessageBox::No;
}

void CloseWithAnswers(CMainFrame& frame, QStringList answers) {
    if (answers.isEmpty()) {
        return;
    }
    const QString answer = answers.takeFirst().trimmed();
    AnswerNextMessageBox("Sure to exit?", ButtonFor(answer));
    const bool closed = frame.close();
    Report(QString("Sure to exit? %1: %2").arg(answer, closed ? "closing" : "still running"));
    if (!closed) {
        QTimer::singleShot(kBetweenClosesMilliseconds, &frame,
                           [&frame, answers] { CloseWithAnswers(frame, answers); });
    }
}

} // namespace

void AnswerNextMessageBox(const QString& text, QMessageBox::StandardButton button) {
    auto* poll = new QTimer(qApp);
    auto polls = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, polls, text, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->text() == text && box->button(button)) {
            poll->deleteLater();
            box->button(button)->click();
        } else if (++*polls > kGiveUpPolls) {
            poll->deleteLater();
        }
    });
    poll->start(kPollMilliseconds);
}

std::optional<QMessageBox::StandardButton> ScriptedRestoreAnswer() {
    const QString answer = qEnvironmentVariable("VANTREEL_RESTORE_ANSWER");
    if (!answer.isEmpty()) {
        return ButtonFor(answer);
    }
    if (!qEnvironmentVariableIsEmpty("VANTREEL_SCREENSHOT") ||
        !qEnvironmentVariableIsEmpty("VANTREEL_EXIT_ANSWERS")) {
        return QMessageBox::No;
    }
    return std::nullopt;
}

void StartScriptedRun(CMainFrame& frame) {
    const QString screenshot = qEnvironmentVariable("VANTREEL_SCREENSHOT");
    const QStringList answers =
        qEnvironmentVariable("VANTREEL_EXIT_ANSWERS").split(',', Qt::SkipEmptyParts);
    if (screenshot.isEmpty() && answers.isEmpty()) {
        return;
    }
    QTimer::singleShot(kSettleMilliseconds, &frame, [&frame, screenshot, answers] {
        if (!screenshot.isEmpty()) {
            SaveScreenshot(frame, screenshot);
        }
        CloseWithAnswers(frame, answers);
    });
}

} // namespace vantreel
