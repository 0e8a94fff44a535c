#pragma once
// What the main window shares with its panels for the whole run.

#include <functional>

#include <QString>

#include "store/draw_record.h"
#include "store/history_db.h"
#include "store/settings.h"

namespace quarvel::app {

class Dialogs;

struct AppContext {
    store::HistoryDb* db = nullptr;          // may be closed when the file could not be opened
    store::SettingsStore* settings = nullptr;
    Dialogs* dialogs = nullptr;
    store::Settings saved;                   // settings read at start-up, kept current
    store::ZodiacCodes zodiacCodes;          // the zodiac code table in force
    int zodiacYear = 0;                      // current zodiac year (start-up step 12)
    std::function<void(const QString&)> notify;  // status-bar notice

    store::Bases bases() const { return {saved.SxIni, saved.DsIni}; }
    bool historyOpen() const { return db != nullptr && db->isOpen(); }
};

}  // namespace quarvel::app
