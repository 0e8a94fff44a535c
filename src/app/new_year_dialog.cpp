#include "app/new_year_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace quarvel::app {

NewYearDialog::NewYearDialog(const store::NewYearTable& table, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmNewYear"));
    setWindowTitle(QStringLiteral("生肖年分界"));
    auto* layout = new QVBoxLayout(this);
    auto* about = new QLabel(QStringLiteral(
        "每年春节前开出的号码仍属于上一个生肖年。请为每个年份填写春节前最后一期的序号（例如 "
        "2026 年填 19：2026001～2026019 属于上一个生肖年）；填 0 表示该年没有春节前的期。"));
    about->setWordWrap(true);
    layout->addWidget(about);
    grid_ = new QTableWidget(0, 2, this);
    grid_->setObjectName(QStringLiteral("gridNewYear"));
    grid_->setHorizontalHeaderLabels({QStringLiteral("年份"), QStringLiteral("春节前最后一期")});
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->verticalHeader()->hide();
    layout->addWidget(grid_);
    refusal_ = new QLabel(this);
    refusal_->setObjectName(QStringLiteral("lblNewYearRefusal"));
    refusal_->setStyleSheet(QStringLiteral("color: #b00020"));
    layout->addWidget(refusal_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* add = buttons->addButton(QStringLiteral("添加一年"), QDialogButtonBox::ActionRole);
    add->setObjectName(QStringLiteral("cmdAddYear"));
    auto* remove = buttons->addButton(QStringLiteral("删除所选"), QDialogButtonBox::ActionRole);
    remove->setObjectName(QStringLiteral("cmdRemoveYear"));
    auto* defaults = buttons->addButton(QStringLiteral("恢复默认"), QDialogButtonBox::ResetRole);
    defaults->setObjectName(QStringLiteral("cmdDefaultYears"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdNewYearOk"));
    layout->addWidget(buttons);
    connect(add, &QPushButton::clicked, this, &NewYearDialog::addYear);
    connect(remove, &QPushButton::clicked, this, [this] {
        if (grid_->currentRow() >= 0) grid_->removeRow(grid_->currentRow());
    });
    connect(defaults, &QPushButton::clicked, this, [this] { fill(store::defaultNewYearTable()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &NewYearDialog::tryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fill(table);
    resize(360, 480);
}

void NewYearDialog::fill(const store::NewYearTable& table) {
    grid_->setRowCount(0);
    for (const auto& [year, serial] : table) {
        const int r = grid_->rowCount();
        grid_->insertRow(r);
        grid_->setItem(r, 0, new QTableWidgetItem(QString::number(year)));
        grid_->setItem(r, 1, new QTableWidgetItem(QString::number(serial)));
    }
}

void NewYearDialog::addYear() {
    int last = 0;
    for (int r = 0; r < grid_->rowCount(); ++r)
        if (auto* item = grid_->item(r, 0)) last = std::max(last, item->text().toInt());
    const int r = grid_->rowCount();
    grid_->insertRow(r);
    grid_->setItem(r, 0, new QTableWidgetItem(QString::number(last + 1)));
    grid_->setItem(r, 1, new QTableWidgetItem(QString()));
    grid_->setCurrentCell(r, 1);
    grid_->editItem(grid_->item(r, 1));
}

void NewYearDialog::tryAccept() {
    // The rows as "年份 期数" lines, read by the one rule quarvel-cli's settings go by too.
    QString text;
    for (int r = 0; r < grid_->rowCount(); ++r) {
        const QString year = grid_->item(r, 0) ? grid_->item(r, 0)->text().trimmed() : QString();
        const QString serial = grid_->item(r, 1) ? grid_->item(r, 1)->text().trimmed() : QString();
        if (year.isEmpty() && serial.isEmpty()) {
            text += QStringLiteral("\n");
            continue;
        }
        text += year + QStringLiteral(" ") + (serial.isEmpty() ? QStringLiteral("?") : serial) +
                QStringLiteral("\n");
    }
    const std::string why = store::readNewYearTableInput(text.toStdString(), table_);
    if (!why.empty()) {
        refusal_->setText(QString::fromStdString(why));
        return;
    }
    accept();
}

}  // namespace quarvel::app
