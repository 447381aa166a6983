#include "panels/dialogs/MergeCategoryDialog.h"

#include "controls/CategoryChooserModel.h"
#include "controls/DialogButtons.h"
#include "document/Book.h"
#include "platform/Localization.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace cv {

MergeCategoryDialog::MergeCategoryDialog(Book *document, int category, QWidget *parent)
    : QDialog(parent), m_document(document), m_ds(std::make_unique<cv::CategoryChooserModel>()), m_category(category),
      m_sourceField(new QLabel(this)), m_targetButton(new QComboBox(this))
{
    setWindowTitle(cv::localizedString("Merge-Panel-Title"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(cv::localizedString("Merge-Source"), m_sourceField);
    form->addRow(cv::localizedString("Merge-Target"), m_targetButton);
    layout->addLayout(form);
    m_okButton = cv::addOkCancelButtons(this, layout).ok;
    setMinimumWidth(360);

    NodePtr source = document ? document->findIncome(category) : nullptr;
    if (!source && document) {
        source = document->findExpense(category);
        m_isExpense = source != nullptr;
    }
    Q_ASSERT_X(source, "src/MergeActualPanelController", "MergeActualPanel : cannot find actual");
    if (source) {
        m_ds->setDocument(document, m_isExpense ? 2 : 1, true);
        // Only what the merge takes: a category, never a folder left empty.
        for (const cv::ChooserItem &item : m_ds->objects())
            if (item.node() && item.node()->kind() == cv::NodeKind::Category)
                m_targetButton->addItem(m_ds->stringForObjectValue(item), item.ident());
        m_sourceField->setText(document->displayName(*source));
    }
    // About half the screen's height of names at a time.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const int itemHeight = std::max(1, m_targetButton->fontMetrics().height() + 4);
        m_targetButton->setMaxVisibleItems(std::max(1, screen->availableGeometry().height() / 2 / itemHeight - 1));
    }
    m_targetButton->setCurrentIndex(-1);
    connect(m_targetButton, &QComboBox::currentIndexChanged, this, &MergeCategoryDialog::setButtons);
    setButtons();
}

MergeCategoryDialog::~MergeCategoryDialog() = default;

int MergeCategoryDialog::runMergePanel(Book *document, int category, QWidget *parent)
{
    MergeCategoryDialog panel(document, category, parent);
    return panel.exec();
}

int MergeCategoryDialog::chosenIdent() const
{
    if (m_targetButton->currentIndex() < 0) return 0;
    const int ident = m_targetButton->currentData().toInt();
    return ident == m_category ? 0 : ident;
}

void MergeCategoryDialog::setButtons()
{
    m_okButton->setEnabled(chosenIdent() != 0);
}

} // namespace cv
