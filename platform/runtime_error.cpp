#include "platform/runtime_error.h"

#include <new>
#include <string_view>
#include <utility>

namespace tervalux {

namespace {

struct Description {
    std::int32_t number;
    std::wstring_view text;
};

constexpr Description kDescriptions[] = {
    {err::InvalidCall, L"Chamada de procedimento ou argumento inv\u00e1lido"},
    {err::OutOfMemory, L"Mem\u00f3ria insuficiente"},
    {err::DllLoad, L"Erro ao carregar a DLL"},
    {err::InternalError, L"Erro interno"},
    {err::BadFileName, L"Nome ou n\u00famero de arquivo incorreto"},
    {err::FileNotFound, L"Arquivo n\u00e3o encontrado"},
    {err::DeviceIo, L"Erro de E/S no dispositivo"},
    {err::FileAlreadyExists, L"O arquivo j\u00e1 existe"},
    {err::DiskFull, L"Disco cheio"},
    {err::TooManyFiles, L"Arquivos demais"},
    {err::DeviceUnavailable, L"Dispositivo n\u00e3o dispon\u00edvel"},
    {err::PermissionDenied, L"Permiss\u00e3o negada"},
    {err::DiskNotReady, L"O disco n\u00e3o est\u00e1 pronto"},
    {err::PathFileAccess, L"Erro de acesso ao caminho/arquivo"},
    {err::PathNotFound, L"Caminho n\u00e3o encontrado"},
    {err::DllEntryPoint, L"Ponto de entrada da DLL n\u00e3o encontrado"},
};

}  // namespace

std::wstring StandardDescription(std::int32_t number) {
    for (const auto& entry : kDescriptions) {
        if (entry.number == number) return std::wstring(entry.text);
    }
    return {};
}

RuntimeError::RuntimeError(std::int32_t number) : number_(number), description_(StandardDescription(number)) {}

RuntimeError::RuntimeError(std::int32_t number, std::wstring description)
    : number_(number), description_(std::move(description)) {}

RuntimeError CurrentError() {
    try {
        throw;
    } catch (const RuntimeError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return RuntimeError(err::OutOfMemory);
    } catch (...) {
        return RuntimeError(err::InternalError);
    }
}

std::wstring ErrorReportText(const RuntimeError& error) {
    return error.Description() + L" " + std::to_wstring(error.Number());
}

}  // namespace tervalux
