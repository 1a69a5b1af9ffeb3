// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "model/helptext.h"

#include <QStringList>

namespace HelpText {

QString heading() { return QStringLiteral(" Aiuto per l'uso del ticker"); }

QString body() {
    static const QString text =
        QStringList{
            QStringLiteral("La barretta si posiziona automaticamente al centro in alto dello schermo."),
            QStringLiteral("Per spostarla occorre trascinarela con il mouse dalla zona viola a destra, per "
                           "riposizionarla premere la freccetta in su."),
            QStringLiteral("La check box serve a visualizzare i Futures sul Nasdaq 100 nel ticker."),
            QStringLiteral("Cliccando sui titoli del ticker, si visualizzano le notizie, e cliccando al centro "
                           "della notizia si chiude il riquadro."),
            QStringLiteral("Cliccando sul titolo successivo si va alla pagina Televideo RAI fonte delle ultime "
                           "notizie visualizzate."),
            QStringLiteral("La R in verde, esegue l'aggiornamento rapido delle informazioni."),
            QStringLiteral("La X chiude il programma."),
            QStringLiteral(u"Se si clicca sul titolo dei futures, si apre la Chart Tempo Reale di Lycos e si "
                           u"possono visualizzare gli altri indici Americani con l'aiuto dei Men\u00f9."),
            QStringLiteral("La barra ticker si posiziona su tutte le finestre aperte in una posizione normalmente "
                           "libera, il riquadro notizia viene nascosto dalle finestre aperte, per rivisualizzarlo, "
                           "cliccare sulla barra viola."),
            QStringLiteral("Fate buon uso del programma e ricordatevi di visitare il sito per altri freeware."),
        }
            .join(u' ');
    return text;
}

} // namespace HelpText
