#pragma once
// Forms are created by class name through one factory and reached through typed
// interfaces, so a command can set fields and call methods before it shows a form, or
// free it unshown. Each folder registers its forms at start-up; a form not yet registered
// answers with a placeholder that says so in the status bar. What a form works on (its
// month, its quarter) and the window it opens over are given to it as it is made, so no form
// reads another window's state to learn them.

#include "core/base/AppContext.h"
#include "core/base/Month.h"
#include "core/base/MonthRun.h"
#include "core/base/Quarter.h"
#include "core/staff/PerputOpener.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

namespace qm {

class IForm {
public:
    virtual ~IForm() = default;
    // Shows the form modally; answers when it has closed.
    virtual void ShowModal() = 0;
    // Shows the form without waiting; the form then owns itself and is freed when it closes.
    virtual void ShowModeless(std::unique_ptr<IForm> self) = 0;
};

// What a form is given as it is made.
struct FormArgs {
    // The month of a staff or wage form. The batch sheet without one is the staff register.
    std::optional<Month> month = std::nullopt;
    // The quarter of a quarterly report window.
    std::optional<Quarter> quarter = std::nullopt;
    // The run of months a quarterly report counts instead of a quarter's (the period chooser's),
    // or the range a wage summary sums.
    std::optional<MonthRun> run = std::nullopt;
    // A wage summary's range computed afresh (true) or shown from its saved copy (false).
    bool recompute = true;
    // Who opens the single-person form.
    PerputOpener opener = PerputOpener::MonthList;
    // The window the form opens over; none means the main window.
    QWidget* parent = nullptr;
};

// The window a form made with `args` opens over.
inline QWidget* ParentOf(const AppContext& ctx, const FormArgs& args) {
    return args.parent ? args.parent : ctx.mainWidget;
}

class FormFactory {
public:
    using Creator = std::function<std::unique_ptr<IForm>(AppContext&, const FormArgs&)>;

    explicit FormFactory(AppContext& ctx) : ctx_(ctx) {}

    // `make` takes (AppContext&, const FormArgs&), or (AppContext&) for a form given nothing.
    template <class Make>
    void Register(const QString& formClass, Make make) {
        if constexpr (std::is_invocable_v<Make&, AppContext&, const FormArgs&>)
            creators_[formClass] = std::move(make);
        else
            creators_[formClass] = [make = std::move(make)](AppContext& ctx, const FormArgs&) mutable {
                return std::unique_ptr<IForm>(make(ctx));
            };
    }
    // A form made with the context and the window it opens over.
    template <class Form>
    void Register(const QString& formClass) {
        Register(formClass, [](AppContext& ctx, const FormArgs& args) {
            return std::unique_ptr<IForm>(std::make_unique<Form>(ctx, ParentOf(ctx, args)));
        });
    }
    bool IsRegistered(const QString& formClass) const { return creators_.count(formClass) != 0; }

    // Creates the form; null when nothing is registered under that name.
    std::unique_ptr<IForm> Create(const QString& formClass, const FormArgs& args = {}) {
        auto it = creators_.find(formClass);
        return it == creators_.end() ? nullptr : it->second(ctx_, args);
    }

    // Creates the form as interface I; null when absent or of another kind.
    template <class I>
    std::unique_ptr<I> CreateAs(const QString& formClass, const FormArgs& args = {}) {
        std::unique_ptr<IForm> f = Create(formClass, args);
        if (auto* typed = dynamic_cast<I*>(f.get())) {
            f.release();
            return std::unique_ptr<I>(typed);
        }
        return nullptr;
    }

    AppContext& context() { return ctx_; }

    // Asked before the program ends: a window that holds unsaved work answers whether the
    // person gives it up. Each registered check answers whether the program may end.
    void AddLeaveCheck(std::function<bool(AppContext&)> check) { leaveChecks_.push_back(std::move(check)); }
    bool MayLeave() {
        for (const auto& check : leaveChecks_)
            if (!check(ctx_)) return false;
        return true;
    }

private:
    AppContext& ctx_;
    std::map<QString, Creator> creators_;
    std::vector<std::function<bool(AppContext&)>> leaveChecks_;
};

}  // namespace qm
