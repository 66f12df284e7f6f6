#pragma once
// An observer of the translation of one function's section, told of every source line the
// translation reads, so that what a pass wants to know besides the section texts (the
// origin of each line, the warnings of the AsmL) is learned during that one pass.
#include "translator/SectionTexts.h"
#include "translator/TranslationState.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace kestrel {

class SectionObserver {
public:
    virtual ~SectionObserver() = default;
    // The section begins: the texts it is written into and the state, reset. Both outlive
    // the calls up to Finish.
    virtual void Begin(SectionTexts& texts, TranslationState& state) = 0;
    // Before the source line `index` is translated.
    virtual void BeforeLine(std::size_t /*index*/) {}
    // After the source line `index`, `line`, was translated.
    virtual void AfterLine(std::size_t index, std::string_view line) = 0;
    // After the blocks still open at the end were closed.
    virtual void AfterClosingAll() {}
    // Everything written from here on is the translation's own; the section is done.
    virtual void Finish() {}
};

// Tells several observers in turn.
class SectionObservers : public SectionObserver {
public:
    void Add(SectionObserver* observer) {
        if (observer) observers_.push_back(observer);
    }
    bool Empty() const { return observers_.empty(); }

    void Begin(SectionTexts& texts, TranslationState& state) override {
        for (SectionObserver* o : observers_) o->Begin(texts, state);
    }
    void BeforeLine(std::size_t index) override {
        for (SectionObserver* o : observers_) o->BeforeLine(index);
    }
    void AfterLine(std::size_t index, std::string_view line) override {
        for (SectionObserver* o : observers_) o->AfterLine(index, line);
    }
    void AfterClosingAll() override {
        for (SectionObserver* o : observers_) o->AfterClosingAll();
    }
    void Finish() override {
        for (SectionObserver* o : observers_) o->Finish();
    }

private:
    std::vector<SectionObserver*> observers_;
};

} // namespace kestrel
