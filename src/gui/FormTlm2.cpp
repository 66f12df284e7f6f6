// The TLM-2.0 Socket window. The function boxes list the declared functions, the parameter
// boxes the parameters of the function chosen above them; a blank box is left to Kestrel's
// proposal, "(none)" says the function has no strobe or response. Choosing another
// function fills the roles Kestrel proposes for it. OK hands the boxes to the core as
// kestrel-cli tlm2 hands its flags (ChooseTlm2Mapping), keeps the mapping and writes the
// module; the window holds no rule of its own.
#include "FormTlm2.h"

#include "GuiText.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "UiServices.h"
#include "generate/RunTables.h"
#include "tlm2/Tlm2Rules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kestrel {

namespace {

// Who writes <header>_tlm2.h from this window, for the file's header comment.
constexpr const char* kWriterTlm2Window = "Kestrel's TLM-2.0 Socket window";

const QString kNone = QStringLiteral("(none)");

QString Lines(const std::vector<std::string>& lines) {
    QStringList shown;
    for (const std::string& line : lines) shown << FromCore(line);
    return shown.join(QLatin1Char('\n'));
}

// The function's parameters as declared ("unsigned char& data"), each with its name as
// the item's data; "(none)" first where the role may be left out.
void FillBox(QComboBox* box, const TlmFunction* function, bool optional) {
    box->clear();
    if (optional) box->addItem(kNone, QString());
    if (function)
        for (const TlmParameter& p : function->UsedParameters()) {
            const QString name = FromCore(p.parameterName.Text());
            QString shown = FromCore(p.typeText.Text());
            if (p.isConst) shown.prepend(QStringLiteral("const "));
            if (p.passIndex == 1) shown += QLatin1Char('&');
            shown += QLatin1Char(' ') + name;
            if (p.isArray) shown += QStringLiteral(" []");
            box->addItem(shown, name);
        }
    box->setCurrentIndex(-1);
}

// Blank for an empty name the role cannot go without, "(none)" where it can.
void Select(QComboBox* box, const std::string& name) {
    box->setCurrentIndex(box->findData(FromCore(name)));
}

// A blank box: the choice is Kestrel's; "(none)": the empty name.
std::optional<std::string> Chosen(const QComboBox* box) {
    if (box->currentIndex() < 0) return std::nullopt;
    return ToCore(box->currentData().toString());
}

// "WRITE,READ" for the flags that name a parameter of both functions.
std::optional<std::string> Pair(const QComboBox* write, const QComboBox* read) {
    const std::optional<std::string> w = Chosen(write), r = Chosen(read);
    if (!w && !r) return std::nullopt;
    return w.value_or("") + "," + r.value_or("");
}

std::optional<std::string> Typed(const QLineEdit* box) {
    const QString text = box->text().trimmed();
    if (text.isEmpty()) return std::nullopt;
    return ToCore(text);
}

QString RoleNames(const std::string& function, const Tlm2Roles& roles) {
    QStringList names;
    for (const std::string* name : {&roles.address, &roles.data, &roles.strobe, &roles.response})
        if (!name->empty()) names << FromCore(*name);
    return FromCore(function) + QLatin1Char('(') + names.join(QStringLiteral(", ")) +
           QLatin1Char(')');
}

} // namespace

QString Tlm2MappingLine(const std::string& projectName, const ProjectTables& tables,
                        const Tlm2Mapping& mapping) {
    Tlm2Module module;
    const std::vector<std::string> problems =
        ResolveTlm2Module(projectName, tables, mapping, module);
    const int addressBits = Tlm2AddressBits(tables.functions, mapping);
    QString line = RoleNames(mapping.writeFunction, mapping.write) + QStringLiteral(" / ") +
                   RoleNames(mapping.readFunction, mapping.read) + QStringLiteral(", base ") +
                   FromCore(Tlm2Hex(mapping.base)) +
                   QStringLiteral(", size %1").arg(Tlm2EffectiveSize(mapping, addressBits));
    for (const auto& [name, value] : mapping.fixed)
        line += QStringLiteral(", %1 = %2").arg(FromCore(name), FromCore(value));
    if (!problems.empty()) line += QStringLiteral(" - ") + Lines(problems);
    return line;
}

FormTlm2* FormTlm2::Open(MainWindow& main, QWidget* parent,
                         const std::optional<Tlm2Mapping>& kept) {
    ProjectTables tables;
    if (Status s = LoadProjectLook(main.Project().projectFolder, tables); !s) {
        ShowFailure(main.Context().ui, parent, FromCore(s.message()));
        return nullptr;
    }
    auto* window = new FormTlm2(main, parent, tables);
    window->kept_ = kept;
    if (kept) {
        window->ShowMapping(*kept);
        window->notes_->setText(QStringLiteral("The project's socket mapping (%1).")
                                    .arg(QString::fromLatin1(kTlm2MappingFile)));
    } else {
        const Tlm2Choice proposal = ChooseTlm2Mapping(tables.functions, {});
        if (proposal.mapping) window->ShowMapping(*proposal.mapping);
        window->ShowNotes(proposal);
    }
    return window;
}

FormTlm2::FormTlm2(MainWindow& main, QWidget* parent, const ProjectTables& tables)
    : QDialog(parent), main_(main), tables_(tables) {
    setObjectName(QStringLiteral("FormTlm2"));
    setWindowTitle(QStringLiteral("TLM-2.0 Socket"));
    notes_ = NamedWidget<QLabel>("LabelNotes", this);
    notes_->setWordWrap(true);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FunctionFrame());
    layout->addWidget(TargetFrame());
    layout->addWidget(notes_);
    layout->addStretch();
    layout->addLayout(ConfirmCancelRow(this));

    for (QComboBox* function : {write_, read_}) {
        for (const TlmFunction& f : tables_.functions.Used())
            function->addItem(FromCore(f.functionName.Text()), FromCore(f.functionName.Text()));
        function->setCurrentIndex(-1);
    }
    // Connected once filled: adding the first item makes it the current one.
    for (QComboBox* function : {write_, read_})
        connect(function, &QComboBox::currentIndexChanged, this, &FormTlm2::ProposeRoles);
    base_->setText(QStringLiteral("0x0"));
}

QGroupBox* FormTlm2::FunctionFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Functions and Parameters"), this);
    frame->setObjectName(QStringLiteral("FrameFunctions"));
    auto combo = [frame](const char* name) {
        auto* box = NamedWidget<QComboBox>(name, frame);
        box->setMinimumWidth(200);
        return box;
    };
    write_ = combo("ComboWrite");
    read_ = combo("ComboRead");
    writeAddress_ = combo("ComboWriteAddress");
    readAddress_ = combo("ComboReadAddress");
    writeData_ = combo("ComboWriteData");
    readData_ = combo("ComboReadData");
    writeStrobe_ = combo("ComboWriteStrobe");
    writeResponse_ = combo("ComboWriteResponse");
    readResponse_ = combo("ComboReadResponse");
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Write"), frame), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Read"), frame), 0, 2);
    const char* captions[] = {"Function:", "Address:", "Data:", "Byte strobe:", "Response:"};
    QComboBox* rows[][2] = {{write_, read_},
                            {writeAddress_, readAddress_},
                            {writeData_, readData_},
                            {writeStrobe_, nullptr},
                            {writeResponse_, readResponse_}};
    for (int row = 0; row < 5; ++row) {
        grid->addWidget(new QLabel(QString::fromLatin1(captions[row]), frame), row + 1, 0);
        for (int column = 0; column < 2; ++column)
            if (rows[row][column]) grid->addWidget(rows[row][column], row + 1, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    return frame;
}

QGroupBox* FormTlm2::TargetFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Target"), this);
    frame->setObjectName(QStringLiteral("FrameTarget"));
    base_ = NamedWidget<QLineEdit>("TextBase", frame);
    size_ = NamedWidget<QLineEdit>("TextSize", frame);
    size_->setPlaceholderText(QStringLiteral("the range of the address type"));
    fixed_ = NamedWidget<QLineEdit>("TextFixed", frame);
    fixed_->setPlaceholderText(QStringLiteral("NAME=VALUE, NAME=VALUE"));
    fixed_->setToolTip(QStringLiteral("Values for the other by-value parameters of the two "
                                      "functions, separated by commas"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Base address:"), frame), 0, 0);
    grid->addWidget(base_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Size (bytes):"), frame), 1, 0);
    grid->addWidget(size_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Fixed values:"), frame), 2, 0);
    grid->addWidget(fixed_, 2, 1);
    return frame;
}

void FormTlm2::FillParameters() {
    const TlmFunction* write = FindTlm2Function(tables_.functions, ToCore(write_->currentText()));
    const TlmFunction* read = FindTlm2Function(tables_.functions, ToCore(read_->currentText()));
    FillBox(writeAddress_, write, false);
    FillBox(writeData_, write, false);
    FillBox(writeStrobe_, write, true);
    FillBox(writeResponse_, write, true);
    FillBox(readAddress_, read, false);
    FillBox(readData_, read, false);
    FillBox(readResponse_, read, true);
}

void FormTlm2::ShowMapping(const Tlm2Mapping& mapping) {
    filling_ = true;
    Select(write_, mapping.writeFunction);
    Select(read_, mapping.readFunction);
    FillParameters();
    Select(writeAddress_, mapping.write.address);
    Select(writeData_, mapping.write.data);
    Select(writeStrobe_, mapping.write.strobe);
    Select(writeResponse_, mapping.write.response);
    Select(readAddress_, mapping.read.address);
    Select(readData_, mapping.read.data);
    Select(readResponse_, mapping.read.response);
    base_->setText(FromCore(Tlm2Hex(mapping.base)));
    size_->setText(mapping.size ? QString::number(mapping.size) : QString());
    QStringList fixed;
    for (const auto& [name, value] : mapping.fixed)
        fixed << FromCore(name) + QLatin1Char('=') + FromCore(value);
    fixed_->setText(fixed.join(QStringLiteral(", ")));
    filling_ = false;
}

void FormTlm2::ProposeRoles() {
    if (filling_) return;
    Tlm2Request request;
    request.write = Chosen(write_);
    request.read = Chosen(read_);
    const Tlm2Choice proposal = ChooseTlm2Mapping(tables_.functions, request, Kept());
    filling_ = true;
    FillParameters();
    filling_ = false;
    if (proposal.mapping) {
        // The roles only: the target and the fixed values stay as typed.
        const QString base = base_->text(), size = size_->text(), fixed = fixed_->text();
        ShowMapping(*proposal.mapping);
        base_->setText(base);
        size_->setText(size);
        fixed_->setText(fixed);
    }
    ShowNotes(proposal);
}

void FormTlm2::ShowNotes(const Tlm2Choice& choice) {
    notes_->setText(Lines(choice.mapping ? choice.notes : choice.problems));
}

Tlm2Request FormTlm2::Request() const {
    Tlm2Request request;
    request.write = Chosen(write_);
    request.read = Chosen(read_);
    request.address = Pair(writeAddress_, readAddress_);
    request.data = Pair(writeData_, readData_);
    request.strobe = Chosen(writeStrobe_);
    request.response = Pair(writeResponse_, readResponse_);
    for (const QString& entry : fixed_->text().split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!entry.trimmed().isEmpty()) request.fixed.push_back(ToCore(entry.trimmed()));
    request.base = Typed(base_);
    request.size = Typed(size_);
    return request;
}

void FormTlm2::Confirm() {
    UiServices& ui = main_.Context().ui;
    const Tlm2Choice choice = ChooseTlm2Mapping(tables_.functions, Request(), Kept());
    if (!choice.mapping) {
        ShowFailure(ui, this, Lines(choice.problems));
        return;
    }
    const ProjectRecord& project = main_.Project();
    const Tlm2KeepResult written = KeepTlm2Mapping(project.projectName, project.projectFolder,
                                                   tables_, *choice.mapping, kWriterTlm2Window);
    if (written.mappingSaved) kept_ = choice.mapping;
    if (!written.status) {
        ShowFailure(ui, this, FromCore(written.status.message()));
        return;
    }
    if (!written.problems.empty()) {
        ShowFailure(ui, this, Lines(written.problems));
        return;
    }
    accept();
}

} // namespace kestrel
