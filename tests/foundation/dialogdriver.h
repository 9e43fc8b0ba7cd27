#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

#include <gtest/gtest.h>

// Drives modal dialogs from tests: waits (inside the dialog's own event loop) until a modal
// window other than `outer` is active, then runs the action on it. When none comes within
// the time limit the test fails instead of hanging.
inline void WhenModal(std::function<void(QWidget*)> action, QWidget* outer = nullptr,
                      int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, outer, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != outer && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog appeared";
        }
    });
    timer->start();
}

// Rejects every dialog still open after the limit, so a broken test ends instead of hanging.
class ModalWatchdog
{
public:
    explicit ModalWatchdog(int limitMs = 10000)
    {
        m_timer.setSingleShot(true);
        m_timer.setInterval(limitMs);
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            ADD_FAILURE() << "dialog left open: closed by the watchdog";
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                    d->done(QDialog::Rejected);
            }
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};
