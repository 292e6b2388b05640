#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

#include <memory>
#include <optional>

// Answers the next modal dialog as a person would, from inside its event loop: types text
// into an input dialog and confirms it, or cancels it (no text). Records what it saw.
// It stops looking when it goes out of scope.
class DialogAnswerer {
public:
    struct Seen {
        bool dialog = false;
        QString title;
        QString prompt;
        QString offered;
        QStringList buttons;   // the texts of the dialog's buttons
    };

    explicit DialogAnswerer(std::optional<QString> answer)
        : state_(std::make_shared<State>(State{std::move(answer), true, {}}))
    {
        arm(state_, 400);
    }
    ~DialogAnswerer() { state_->looking = false; }
    DialogAnswerer(const DialogAnswerer &) = delete;
    DialogAnswerer &operator=(const DialogAnswerer &) = delete;

    const Seen &seen() const { return state_->seen; }

private:
    struct State {
        std::optional<QString> answer;
        bool looking;
        Seen seen;
    };

    static void arm(const std::shared_ptr<State> &state, int attemptsLeft)
    {
        QTimer::singleShot(5, [state, attemptsLeft] {
            if (!state->looking)
                return;
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog) {
                if (attemptsLeft > 0)
                    arm(state, attemptsLeft - 1);
                return;
            }
            state->looking = false;
            state->seen.dialog = true;
            state->seen.title = dialog->windowTitle();
            for (const auto *button : dialog->findChildren<QAbstractButton *>())
                state->seen.buttons << button->text();
            if (auto *input = qobject_cast<QInputDialog *>(dialog)) {
                state->seen.prompt = input->labelText();
                state->seen.offered = input->textValue();
                if (state->answer)
                    input->setTextValue(*state->answer);
            } else if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
                state->seen.prompt = box->text();
            }
            if (state->answer)
                dialog->accept();
            else
                dialog->reject();
        });
    }

    std::shared_ptr<State> state_;
};
