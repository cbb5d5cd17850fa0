#pragma once
// Forms are created by class name through one factory and reached through typed
// interfaces, so a command can set fields and call methods before it shows a form, or
// free it unshown. Each folder registers its forms at start-up; a form not yet registered
// answers with a placeholder that says so in the status bar.

#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace qm {

struct AppContext;

class IForm {
public:
    virtual ~IForm() = default;
    // Shows the form modally; answers when it has closed.
    virtual void ShowModal() = 0;
    // Shows the form without waiting; the form then owns itself and is freed when it closes.
    virtual void ShowModeless(std::unique_ptr<IForm> self) = 0;
};

class FormFactory {
public:
    using Creator = std::function<std::unique_ptr<IForm>(AppContext&)>;

    explicit FormFactory(AppContext& ctx) : ctx_(ctx) {}

    void Register(const QString& formClass, Creator creator) { creators_[formClass] = std::move(creator); }
    bool IsRegistered(const QString& formClass) const { return creators_.count(formClass) != 0; }

    // Creates the form; null when nothing is registered under that name.
    std::unique_ptr<IForm> Create(const QString& formClass) {
        auto it = creators_.find(formClass);
        return it == creators_.end() ? nullptr : it->second(ctx_);
    }

    // Creates the form as interface I; null when absent or of another kind.
    template <class I>
    std::unique_ptr<I> CreateAs(const QString& formClass) {
        std::unique_ptr<IForm> f = Create(formClass);
        if (auto* typed = dynamic_cast<I*>(f.get())) {
            f.release();
            return std::unique_ptr<I>(typed);
        }
        return nullptr;
    }

    AppContext& context() { return ctx_; }

private:
    AppContext& ctx_;
    std::map<QString, Creator> creators_;
};

}  // namespace qm
