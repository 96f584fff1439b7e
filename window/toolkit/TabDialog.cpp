#include "toolkit/TabDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

void set_button(QPushButton* button, const QString& text)
{
    button->setText(text);
    button->setVisible(!text.isNull());
}

}  // namespace

TabDialog::TabDialog(QWidget* parent)
    : QDialog(parent), tab_widget(new QTabWidget(this)), ok(new QPushButton(this)), apply(new QPushButton(this)),
      defaults(new QPushButton(this)), cancel(new QPushButton(this))
{
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(defaults);
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tab_widget, 1);
    layout->addLayout(buttons);

    set_ok_button(tr("OK"));
    set_apply_button(QString());
    set_default_button(QString());
    set_cancel_button(QString());
    ok->setDefault(true);

    connect(ok, &QPushButton::clicked, this, [this] {
        emit applyButtonPressed();
        accept();
    });
    connect(apply, &QPushButton::clicked, this, &TabDialog::applyButtonPressed);
    connect(defaults, &QPushButton::clicked, this, &TabDialog::defaultButtonPressed);
    connect(cancel, &QPushButton::clicked, this, [this] {
        emit cancelButtonPressed();
        reject();
    });
}

void TabDialog::add_tab(QWidget* page, const QString& label)
{
    tab_widget->addTab(page, label);
}

QWidget* TabDialog::current_page() const
{
    return tab_widget->currentWidget();
}

void TabDialog::set_ok_button(const QString& text)
{
    set_button(ok, text);
}

void TabDialog::set_apply_button(const QString& text)
{
    set_button(apply, text);
}

void TabDialog::set_default_button(const QString& text)
{
    set_button(defaults, text);
}

void TabDialog::set_cancel_button(const QString& text)
{
    set_button(cancel, text);
}
