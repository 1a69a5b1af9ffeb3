// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "commandline.h"

#include <QCommandLineParser>

#include <optional>

using namespace Qt::StringLiterals;

namespace {
// The options the toolkit's application object takes itself; they pass through to it.
const QStringList ToolkitOptionsWithValue = {
    QStringLiteral("platform"), QStringLiteral("platformtheme"),   QStringLiteral("display"),
    QStringLiteral("style"),    QStringLiteral("qwindowgeometry"), QStringLiteral("session"),
};

// The action of "--autostart VALUE"; nothing for a value other than on and off.
std::optional<CommandLine::Action> autostartAction(const QString& value) {
    if (value == u"on")
        return CommandLine::Action::AutostartOn;
    if (value == u"off")
        return CommandLine::Action::AutostartOff;
    return std::nullopt;
}
} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    // "-platform xcb" is one option, as the toolkit reads it, not the letters p, l, a, ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption autostart(QStringLiteral("autostart"), {}, QStringLiteral("on|off"));
    parser.addOptions({help, version, autostart});
    for (const QString& name : ToolkitOptionsWithValue)
        parser.addOption(QCommandLineOption(name, {}, QStringLiteral("value")));

    CommandLine result;
    const auto refuse = [&result](const QString& why) {
        result.action = Action::Refused;
        result.error = why + QStringLiteral(" (zefirina --help elenca le opzioni)");
        return result;
    };
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().constFirst();
            return refuse(QStringLiteral("opzione sconosciuta: ") + (name.size() == 1 ? u"-"_s : u"--"_s) + name);
        }
        return refuse(QStringLiteral("opzione senza valore: ") + arguments.mid(1).join(u' '));
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("argomento non previsto: ") + parser.positionalArguments().constFirst());
    const qsizetype ours = int(parser.isSet(help)) + int(parser.isSet(version)) + parser.values(autostart).size();
    if (ours > 1)
        return refuse(QStringLiteral("una sola tra --help, --version e --autostart"));
    if (parser.isSet(help))
        result.action = Action::Help;
    else if (parser.isSet(version))
        result.action = Action::Version;
    else if (parser.isSet(autostart)) {
        const auto action = autostartAction(parser.value(autostart));
        if (!action)
            return refuse(QStringLiteral("--autostart vuole on oppure off, non ") + parser.value(autostart));
        result.action = *action;
    }
    return result;
}

QString CommandLine::helpText() {
    return QStringLiteral("Uso: zefirina [--autostart on|off]\n"
                          "Barra delle notizie sempre in vista: le ultime notizie scorrono in alto al centro\n"
                          "dello schermo; un clic su un titolo ne mostra il testo.\n"
                          "\n"
                          "Opzioni:\n"
                          "  -h, --help           mostra questo aiuto ed esce\n"
                          "  -v, --version        mostra la versione ed esce\n"
                          "  --autostart on|off   avvia o non avvia più la barra all'accesso dell'utente\n"
                          "                       (scrive o toglie la voce di avvio automatico) ed esce\n"
                          "\n"
                          "Senza opzioni avvia la barra, che avvia a sua volta il proprio servizio locale.\n"
                          "La variabile ZEFIRINA_FEED sceglie il feed delle notizie (vedere zefirina(1)).\n");
}
