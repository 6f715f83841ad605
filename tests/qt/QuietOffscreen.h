#pragma once
// Drops the offscreen platform's note that it cannot propagate size hints,
// which it prints for every dialog; every other message passes.
#include <QtGlobal>

inline void QuietOffscreenNotes()
{
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (text.contains("propagateSizeHints")) return;
        if (previous) previous(type, context, text);
    });
}
