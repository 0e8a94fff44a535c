#include "panel_fixture.h"

#include "app/analysis_controller.h"
#include "app/criteria_panel.h"

namespace quarvel::apptest {

std::optional<std::string> MemorySettings::get(const std::string& key) {
    auto it = values.find(key);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

bool MemorySettings::save(const std::string& key, const std::string& value) {
    values[key] = value;
    ++saves;
    return true;
}

bool RecordingDialogs::question(const QString& title, const QString& text) {
    titles << title;
    messages << text;
    return questionAnswer;
}

void RecordingDialogs::message(const QString& title, const QString& text) {
    titles << title;
    messages << text;
}

std::optional<QString> RecordingDialogs::inputBox(const QString&, const QString&, const QString&) {
    return std::nullopt;
}

QString RecordingDialogs::openFileName(const QString&, const QString&, const QString&) {
    return {};
}

QString RecordingDialogs::saveFileName(const QString&, const QString& path, const QString&) {
    saveDialogs << path;
    return path;
}

bool RecordingDialogs::openInDesktop(const QString& pathOrUrl) {
    opened << pathOrUrl;
    return true;
}

PanelFixture::PanelFixture() : db(dir.path()) {
    db.open();
    ctx.db = &db;
    ctx.settings = &settings;
    ctx.dialogs = &dialogs;
    ctx.notify = [this](const QString& text) { notices << text; };
}

PanelFixture::~PanelFixture() = default;

void PanelFixture::addDraws(const std::vector<testing::Draw>& draws) {
    testing::addDraws(db, draws, ctx.bases());
}

app::CriteriaPanel& PanelFixture::makePanel() {
    ctx.saved = store::Settings::load(settings);
    ctx.zodiacCodes = store::ZodiacCodes::startup(ctx.saved.SxIni);
    panel = std::make_unique<app::CriteriaPanel>(ctx);
    new app::AnalysisController(ctx, *panel);  // the panel's commands, owned by the panel
    panel->startUp();
    return *panel;
}

}  // namespace quarvel::apptest
