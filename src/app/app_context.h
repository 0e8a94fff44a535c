#pragma once
// What the main window shares with its panels for the whole run.

#include <QString>
#include <functional>

#include "store/draw_record.h"
#include "store/history_db.h"
#include "store/settings.h"
#include "store/stored_bases.h"

namespace quarvel::app {

class Dialogs;

struct AppContext {
    store::HistoryDb* db = nullptr;  // may be closed when the file could not be opened
    store::SettingsStore* settings = nullptr;
    Dialogs* dialogs = nullptr;
    store::Settings saved;                         // settings read at start-up, kept current
    store::ZodiacCodes zodiacCodes;                // the zodiac code table in force
    int zodiacYear = 0;                            // current zodiac year (start-up step 12)
    std::function<void(const QString&)> notify;    // status-bar notice
    std::function<void(const QString&)> withdraw;  // clears that notice if it is still shown

    store::Bases bases() const { return {saved.SxIni, saved.DsIni}; }
    // The bases the stored rows are coded in (the settings' where the rows do not tell): what a
    // stored code means, whatever the menus changed since the rows were built.
    // Kept while the stored content stays the same.
    store::Bases rowBases() const {
        return historyOpen() ? rowBasesCache_.get(*db, bases()) : bases();
    }
    // Saves a setting the user has just changed; a value that cannot be written is reported, as
    // the change would otherwise be lost at the next start without a word.
    void saveSetting(const std::string& key, const std::string& value) const {
        if (!settings || settings->save(key, value) || !notify) return;
        notify(QStringLiteral("设置 %1 无法保存（设置文件只读或无法写入），下次启动时将不会保留。")
                   .arg(QString::fromStdString(key)));
    }
    bool historyOpen() const { return db != nullptr && db->isOpen(); }

  private:
    mutable store::StoredBasesCache rowBasesCache_;
};

}  // namespace quarvel::app
