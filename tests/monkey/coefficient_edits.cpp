// The monkey's coefficient edits through the dialog, and its watch over modal windows.
#include "tests/monkey/monkey.h"

#include "display/controls/clickable_label.h"
#include "interaction/prog.h"
#include "tests/monkey/window_checks.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <cmath>

namespace monkey {

// Answers the coefficient dialog from inside its event loop; any other modal window is a
// fault (a failure message), closed so that the run can report it.
void Monkey::handleModal()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    auto *input = qobject_cast<QInputDialog *>(modal);
    if (!input || !pendingAnswer_) {
        const auto *box = qobject_cast<QMessageBox *>(modal);
        unexpectedModal_ = QStringLiteral("a modal window opened: \"%1\" %2")
                               .arg(modal->windowTitle(), box ? box->text() : QString());
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        return;
    }
    const DialogAnswer answer = *pendingAnswer_;
    pendingAnswer_.reset();
    dialogSeen_ = DialogSeen{input->windowTitle(), input->labelText(), input->textValue()};

    auto *edit = input->findChild<QLineEdit *>();
    edit->selectAll();
    bool typable = true;
    for (QChar c : answer.text)
        typable = typable && c.unicode() >= 0x20 && c.unicode() < 0x7f;
    if (answer.text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else if (typable)
        QTest::keyClicks(edit, answer.text);
    else
        edit->insert(answer.text);  // as pasted: keyClicks types only Latin-1

    auto *buttons = input->findChild<QDialogButtonBox *>();
    if (answer.accept) {
        switch (answer.how) {
        case 0: QTest::keyClick(edit, Qt::Key_Return); break;
        case 1: QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton); break;
        default: input->accept(); break;
        }
    } else {
        switch (answer.how) {
        case 0: QTest::keyClick(edit, Qt::Key_Escape); break;
        case 1: QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton); break;
        default: input->close(); break;
        }
    }
}

// A click on a coefficient label, the dialog answered with random text or cancelled: the
// coefficient takes the number typed, or stays; nothing else changes.
QString Monkey::editCoefficient()
{
    const int index = random_.bounded(6);
    const DialogAnswer answer{texts_.coefficient(), random_.bounded(5) != 0, int(random_.bounded(3))};
    log(QStringLiteral("click on par(%1), answer \"%2\" %3 (way %4)")
            .arg(index).arg(answer.text, answer.accept ? "accepted" : "cancelled").arg(answer.how));
    pendingAnswer_ = answer;
    dialogSeen_.reset();
    ClickableLabel *label = window_.par[index];
    const Qt::MouseButton button = randomButton();
    QTest::mouseClick(label, button, {}, randomPointIn(label));

    if (button != Qt::LeftButton) {
        // Only the left button clicks a letter.
        const bool opened = !pendingAnswer_;
        pendingAnswer_.reset();
        if (opened || !sameCoefficients(window_.model, before_))
            return QStringLiteral("button %1 on par(%2) opened the dialog").arg(int(button)).arg(index);
        return {};
    }
    if (pendingAnswer_) {
        pendingAnswer_.reset();
        return QStringLiteral("no dialog opened for par(%1)").arg(index);
    }
    const QString letter(QChar(u'A' + index));
    if (dialogSeen_->title != QStringLiteral("Modificación de datos")
        || dialogSeen_->prompt != QStringLiteral("Nuevo valor del parámetro ") + letter)
        return QStringLiteral("dialog \"%1\" asks \"%2\"").arg(dialogSeen_->title, dialogSeen_->prompt);
    const double old = coefficient(before_, index);
    if (!shows(dialogSeen_->offered, old, 0.0005))
        return QStringLiteral("the dialog offers \"%1\" for %2").arg(dialogSeen_->offered).arg(old, 0, 'g', 17);

    const Model &m = window_.model;
    // The offer accepted unchanged keeps the exact value behind its rounded text.
    const bool offerKept = answer.accept && answer.text == dialogSeen_->offered;
    const std::optional<double> typed = answer.accept && !offerKept ? tryNumber(answer.text) : std::nullopt;
    const double expected = typed ? *typed : old;
    for (int i = 0; i < 6; ++i) {
        const double want = i == index ? expected : coefficient(before_, i);
        if (!(coefficient(m, i) == want && std::signbit(coefficient(m, i)) == std::signbit(want)))
            return QStringLiteral("coefficient %1 is %2, expected %3").arg(i).arg(coefficient(m, i)).arg(want);
    }
    if (!sameTrajectory(m, before_) || m.dt != before_.dt || window_.HScroll1->value() != cursorBefore_)
        return QStringLiteral("a coefficient edit changed the trajectory, dt or the cursor");

    if (typed) {  // the label shows the new value
        const QColor colour = label->palette().color(QPalette::WindowText);
        const QColor sign = expected > 0 ? QColor(0, 0, 255) : expected < 0 ? QColor(255, 0, 0) : QColor(0, 255, 0);
        if (colour != sign)
            return QStringLiteral("par(%1) is %2 for %3").arg(index).arg(colour.name()).arg(expected);
        if (!shows(label->toolTip(), expected, 0))
            return QStringLiteral("par(%1) tooltip \"%2\" for %3").arg(index).arg(label->toolTip()).arg(expected, 0, 'g', 17);
    }
    return {};
}

} // namespace monkey
