#pragma once
// What a panel tells the user through the window's seams: a notice on the status bar, and a
// message box (a notice where the window has no dialogs).

#include <QString>

#include "app/app_context.h"
#include "app/dialogs.h"

namespace quarvel::app {

inline void notice(const AppContext& ctx, const QString& text) {
    if (ctx.notify) ctx.notify(text);
}

inline void message(const AppContext& ctx, const QString& title, const QString& text) {
    if (ctx.dialogs)
        ctx.dialogs->message(title, text);
    else
        notice(ctx, text);
}

}  // namespace quarvel::app
