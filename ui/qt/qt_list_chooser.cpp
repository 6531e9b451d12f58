// Qt backend: the list chooser (plat_choose_row). A dialog with the label, a one-line
// filter field, a three-column list and two buttons; at every change of the field the
// front end names the rows to show (ui_on_list_filter), and the first of them is selected.
// The field keeps the keyboard: the keys that move in a list (Up, Down, Page Up, Page Down)
// go to the list, Return presses the default button, which takes the selected row.
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "ui/qt/qt_backend.h"

namespace {

class ListChooser : public QDialog {
 public:
  ListChooser(QWidget *parent, const UiListChooser &c) : QDialog(parent), c_(c) {
    // The desktop's own font: its Latin face has the Greek letters and signs of the
    // descriptions in their usual width, and the Japanese ones come from a fallback face.
    setWindowTitle(QString::fromUtf8(c.title));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QString::fromUtf8(c.label), this);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    field_ = new QLineEdit(this);
    field_->setObjectName("filter");
    field_->setClearButtonEnabled(true);
    field_->setMaxLength(100);
    list_ = new QTreeWidget(this);
    list_->setObjectName("rows");
    list_->setColumnCount(3);
    list_->setHeaderLabels({QString::fromUtf8(c.headings[0]), QString::fromUtf8(c.headings[1]),
                            QString::fromUtf8(c.headings[2])});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setAlternatingRowColors(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setFocusPolicy(Qt::NoFocus);  // the field keeps the keyboard
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    auto *buttons = new QDialogButtonBox(this);
    run_ = buttons->addButton(QString::fromUtf8(c.ok), QDialogButtonBox::AcceptRole);
    QPushButton *cancel = buttons->addButton(QString::fromUtf8(c.cancel), QDialogButtonBox::RejectRole);
    run_->setDefault(true);
    cancel->setAutoDefault(false);
    layout->addWidget(label);
    layout->addWidget(field_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);

    // Every row once, for the widths of the name and key columns.
    for (int r = 0; r < c.rows; ++r) add_row(r);
    list_->resizeColumnToContents(0);
    list_->resizeColumnToContents(2);
    const QFontMetrics fm(font());
    int description = 0;
    for (int r = 0; r < c.rows; ++r)
      description = std::max(description, fm.horizontalAdvance(QString::fromUtf8(c.cells[3 * r + 1])));
    const int width = list_->columnWidth(0) + description + list_->columnWidth(2) + 8 * fm.averageCharWidth();
    // Room for every row (up to 24 of them) without a scroll bar.
    const int row_height = std::max(list_->sizeHintForRow(0), fm.height());
    list_->setMinimumHeight(std::min(c.rows, 24) * row_height + list_->header()->sizeHint().height() +
                            2 * list_->frameWidth() + 4);
    resize(std::clamp(width, 80 * fm.averageCharWidth(), 140 * fm.averageCharWidth()), sizeHint().height());

    QObject::connect(field_, &QLineEdit::textChanged, this, [this] { refilter(); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, [this] {
      if (list_->currentItem()) accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QObject::connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
      list_->setCurrentItem(item);
      accept();
    });
    field_->installEventFilter(this);
    field_->setText(QString::fromUtf8(c.filter ? c.filter : ""));
    field_->selectAll();
    field_->setFocus();
    refilter();
  }

  // The row chosen: the selected one's index among the caller's rows.
  int chosen() const {
    const QTreeWidgetItem *item = list_->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
  }
  QString filter() const { return field_->text(); }

 protected:
  bool eventFilter(QObject *obj, QEvent *event) override {
    if (obj == field_ && event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent *>(event)->key();
      if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        QKeyEvent copy(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(list_, &copy);
        return true;
      }
    }
    return QDialog::eventFilter(obj, event);
  }

 private:
  void add_row(int r) {
    auto *item = new QTreeWidgetItem(list_);
    for (int col = 0; col < 3; ++col) item->setText(col, QString::fromUtf8(c_.cells[3 * r + col]));
    item->setData(0, Qt::UserRole, r);
  }

  void refilter() {
    std::vector<int> shown(static_cast<size_t>(std::max(c_.rows, 1)));
    const int n = std::clamp(ui_on_list_filter(field_->text().toUtf8().constData(), shown.data()), 0, c_.rows);
    list_->clear();
    for (int k = 0; k < n; ++k) {
      const int r = shown[static_cast<size_t>(k)];
      if (r >= 0 && r < c_.rows) add_row(r);
    }
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    run_->setEnabled(list_->topLevelItemCount() > 0);
  }

  const UiListChooser &c_;
  QLineEdit *field_;
  QTreeWidget *list_;
  QPushButton *run_;
};

}  // namespace

int plat_choose_row(UiHandle owner, const UiListChooser *chooser, char *filter_out, int filter_size) {
  if (!chooser || chooser->rows < 0 || (chooser->rows > 0 && !chooser->cells)) return -1;
  ListChooser dialog(owner ? owner->widget : nullptr, *chooser);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  // The window takes the keyboard back at once (without a window manager nobody else
  // would give it back), so the focus the front end sets next is the real one.
  if (owner && owner->widget) owner->widget->activateWindow();
  if (filter_out) text_to_platform(dialog.filter(), false, filter_out, filter_size);
  return accepted ? dialog.chosen() : -1;
}
