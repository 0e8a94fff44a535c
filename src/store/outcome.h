#pragma once
// What every command of the core answers: whether it did what was asked, and when not, why, in
// a Chinese sentence for the user and a technical detail after it. The window shows the
// sentence (detail appended), quarvel-cli prints it; neither works out its own wording.

#include <exception>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "store/engine.h"

namespace quarvel::store {

enum class OutcomeKind {
    Done,     // the command did what was asked
    Refused,  // the input was refused; nothing was changed
    Stale,    // refused: the history is no longer the one the user decided on
    Failed,   // the store or the file system failed; nothing was changed (fault says how)
};

struct Outcome {
    OutcomeKind kind = OutcomeKind::Done;
    std::string sentence;  // Chinese, for the user; empty when Done
    std::string detail;    // the technical reason (SQLite's message, a file name), may be empty
    std::string title;     // the caption of the window's message box, when the rule names one
    DbFault fault = DbFault::Other;  // for Failed: what kind of store failure it was

    bool ok() const { return kind == OutcomeKind::Done; }
    // The sentence with the detail after it in full-width brackets: what the user reads.
    std::string text() const;
    // The detail when there is one, else the sentence: what a script's log shows.
    const std::string& reason() const { return detail.empty() ? sentence : detail; }

    static Outcome done() { return {}; }
    static Outcome refused(std::string sentence, std::string title = {});
    static Outcome stale(std::string sentence);
    static Outcome failed(std::string sentence, std::string detail = {},
                          DbFault fault = DbFault::Other);
    // A failure caught as an exception: a DbError in the words of its fault kind (userText), a
    // DetailedError as its sentence and detail, anything else as its own text.
    static Outcome failed(const std::exception& e);
};

// A value, or the outcome saying why there is none.
template <class T>
struct Checked {
    std::optional<T> value;
    Outcome outcome;

    Checked(T v) : value(std::move(v)) {}              // NOLINT(google-explicit-constructor)
    Checked(Outcome why) : outcome(std::move(why)) {}  // NOLINT(google-explicit-constructor)
    bool ok() const { return value.has_value(); }
    explicit operator bool() const { return ok(); }
    T& operator*() { return *value; }
    const T& operator*() const { return *value; }
    T* operator->() { return &*value; }
    const T* operator->() const { return &*value; }
};

template <class T>
struct CheckedOf {
    using type = Checked<T>;
};
template <class T>
struct CheckedOf<Checked<T>> {
    using type = Checked<T>;
};

// What `read` gives (a value or a Checked value), or the failure of the store it threw: for
// the commands whose callers must not need a try block.
template <class Read>
auto attempt(Read&& read) -> typename CheckedOf<std::invoke_result_t<Read&>>::type {
    try {
        return read();
    } catch (const DbError& e) {
        return Outcome::failed(e);
    }
}

}  // namespace quarvel::store
