#include "release/RunLog.h"

#include "platform/Text.h"

namespace tesvar::release {

PrintLine& PrintLine::Text(std::wstring_view text) {
    bytes_ += ansi_.ToAnsi(text);
    return *this;
}

PrintLine& PrintLine::Number(std::int32_t value) {
    std::string form = value < 0 ? "" : " ";
    for (wchar_t c : platform::Decimal(value)) form.push_back(static_cast<char>(c));
    form.push_back(' ');
    bytes_ += form;
    return *this;
}

PrintLine& PrintLine::FieldJoint() {
    // Zones start at columns 1, 15, 29, ...; column = bytes so far + 1.
    const std::size_t next = (bytes_.size() / kZoneWidth + 1) * kZoneWidth;
    bytes_.append(next - bytes_.size(), ' ');
    return *this;
}

std::string PrintLine::End() {
    bytes_ += "\r\n";
    return std::move(bytes_);
}

void RunLog::Open(std::int16_t fileNumber) {
    out_.OpenForOutput(fileNumber, files_.ProgramFolder() + L"\\" + kLogFileName);
}

void RunLog::WriteReleased(std::int16_t fileNumber, const std::wstring& path, std::int32_t before, std::int32_t after,
                           std::int32_t errorNumber) {
    PrintLine line(ansi_);
    line.Text(kReleasedLabel).FieldJoint().Text(path).FieldJoint();
    line.Number(before).ChangeJoint().Text(L"->").ChangeJoint().Number(after).ChangeJoint().Number(errorNumber);
    out_.Write(fileNumber, line.End());
}

void RunLog::WriteNotReadOnly(std::int16_t fileNumber, const std::wstring& path, std::int32_t before) {
    PrintLine line(ansi_);
    line.Text(kNotReadOnlyLabel).FieldJoint().Text(path).FieldJoint().Number(before);
    out_.Write(fileNumber, line.End());
}

void RunLog::WriteNotSelected(std::int16_t fileNumber, const std::wstring& path) {
    PrintLine line(ansi_);
    line.Text(kNotSelectedLabel).FieldJoint().Text(path);
    out_.Write(fileNumber, line.End());
}

void RunLog::WriteError(std::int16_t fileNumber, const std::wstring& path, const std::wstring& message,
                        std::int32_t attributes) {
    PrintLine line(ansi_);
    line.Text(kErrorLabel).FieldJoint().Text(path).FieldJoint().Text(message).FieldJoint().Number(attributes);
    out_.Write(fileNumber, line.End());
}

void RunLog::Close(std::int16_t fileNumber) { out_.Close(fileNumber); }

}  // namespace tesvar::release
