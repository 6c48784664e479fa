<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AddressBar</name>
    <message>
        <source>Bookmarked</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <source>This server is bookmarked</source>
        <translation>Dieser Server ist als Lesezeichen gespeichert</translation>
    </message>
    <message>
        <source>Add Bookmark</source>
        <translation>Lesezeichen hinzufügen</translation>
    </message>
    <message>
        <source>Bookmark this server</source>
        <translation>Diesen Server als Lesezeichen speichern</translation>
    </message>
    <message>
        <source>Server address</source>
        <translation>Serveradresse</translation>
    </message>
    <message>
        <source>Listen on this receiver&apos;s web page at the current frequency</source>
        <translation>Auf der Webseite dieses Empfängers auf der aktuellen Frequenz hören</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Open in Browser</source>
        <translation>Im Browser öffnen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Try Again</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message>
        <source>Connect When Free</source>
        <translation>Verbinden, sobald frei</translation>
    </message>
    <message>
        <source>Stop waiting to reconnect</source>
        <translation>Das Warten auf die neue Verbindung beenden</translation>
    </message>
    <message>
        <source>Connect to this server again</source>
        <translation>Erneut mit diesem Server verbinden</translation>
    </message>
    <message>
        <source>Check the receiver&apos;s status page every 30 seconds, for up to 30 minutes, and connect when a channel is free</source>
        <translation>Die Statusseite des Empfängers bis zu 30 Minuten lang alle 30 Sekunden prüfen und verbinden, sobald ein Kanal frei ist</translation>
    </message>
</context>
<context>
    <name>AppMenuBar</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;New Window</source>
        <translation>&amp;Neues Fenster</translation>
    </message>
    <message>
        <source>&amp;Close Window</source>
        <translation>Fenster &amp;schließen</translation>
    </message>
    <message>
        <source>&amp;Settings…</source>
        <translation>&amp;Einstellungen…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About Farlisten</source>
        <translation>&amp;Über Farlisten</translation>
    </message>
    <message>
        <source>&amp;Find a Receiver…</source>
        <translation>&amp;Empfänger finden…</translation>
    </message>
    <message>
        <source>&amp;Keys and Mouse</source>
        <translation>&amp;Tasten und Maus</translation>
    </message>
    <message>
        <source>&amp;First Steps (README)</source>
        <translation>&amp;Erste Schritte (README)</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>Farlisten %1

Listen to public web shortwave receivers: KiwiSDR and OpenWebRX servers. Tune, watch the waterfall, and keep your favourite receivers and frequencies as bookmarks.</source>
        <translation>Farlisten %1

Öffentliche Kurzwellen-Webempfänger hören: KiwiSDR- und OpenWebRX-Server. Abstimmen, den Wasserfall beobachten und die liebsten Empfänger und Frequenzen als Lesezeichen behalten.</translation>
    </message>
    <message>
        <source>About Farlisten</source>
        <translation>Über Farlisten</translation>
    </message>
</context>
<context>
    <name>AudioEngine</name>
    <message>
        <source>The sample rate %1 Hz cannot be played</source>
        <translation>Die Abtastrate %1 Hz kann nicht wiedergegeben werden</translation>
    </message>
</context>
<context>
    <name>AudioSinkThread</name>
    <message>
        <source>The audio output device “%1” could not be opened</source>
        <translation>Das Audioausgabegerät „%1“ konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>The audio output device “%1” could not be written to</source>
        <translation>Auf das Audioausgabegerät „%1“ konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>The audio output device “%1” failed</source>
        <translation>Das Audioausgabegerät „%1“ ist ausgefallen</translation>
    </message>
    <message>
        <source>No audio output device is available</source>
        <translation>Kein Audioausgabegerät verfügbar</translation>
    </message>
</context>
<context>
    <name>BookmarkFiles</name>
    <message>
        <source>Line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>Entry %1: %2</source>
        <translation>Eintrag %1: %2</translation>
    </message>
    <message>
        <source>The file holds more than %1 entries.</source>
        <translation>Die Datei enthält mehr als %1 Einträge.</translation>
    </message>
    <message>
        <source>more than %1 columns</source>
        <translation>mehr als %1 Spalten</translation>
    </message>
    <message>
        <source>a quoted field is not closed</source>
        <translation>ein Feld in Anführungszeichen ist nicht geschlossen</translation>
    </message>
    <message>
        <source>not readable as JSON (%1)</source>
        <translation>nicht als JSON lesbar (%1)</translation>
    </message>
    <message>
        <source>not a list of bookmarks</source>
        <translation>keine Liste von Lesezeichen</translation>
    </message>
    <message>
        <source>no server address</source>
        <translation>keine Serveradresse</translation>
    </message>
    <message>
        <source>the address is longer than %1 characters</source>
        <translation>die Adresse ist länger als %1 Zeichen</translation>
    </message>
    <message>
        <source>%1 kHz is not between 0 and 10 GHz</source>
        <translation>%1 kHz liegt nicht zwischen 0 und 10 GHz</translation>
    </message>
    <message>
        <source>The file holds no entries.</source>
        <translation>Die Datei enthält keine Einträge.</translation>
    </message>
    <message>
        <source>The list would hold more than %1 entries.</source>
        <translation>Die Liste hätte mehr als %1 Einträge.</translation>
    </message>
    <message>
        <source>no frequency and mode</source>
        <translation>keine Frequenz und Betriebsart</translation>
    </message>
    <message>
        <source>no frequency column</source>
        <translation>keine Spalte für die Frequenz</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no frequency</source>
        <translation>„%1“ ist keine Frequenz</translation>
    </message>
    <message>
        <source>no frequency</source>
        <translation>keine Frequenz</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no mode</source>
        <translation>„%1“ ist keine Betriebsart</translation>
    </message>
    <message>
        <source>The file is larger than %1 MB.</source>
        <translation>Die Datei ist größer als %1 MB.</translation>
    </message>
</context>
<context>
    <name>BookmarkListEditor</name>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete the selected rows</source>
        <translation>Die ausgewählten Zeilen löschen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Undo Delete</source>
        <translation>Löschen rückgängig machen</translation>
    </message>
    <message>
        <source>Put back the rows deleted last</source>
        <translation>Die zuletzt gelöschten Zeilen wiederherstellen</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importieren …</translation>
    </message>
    <message>
        <source>Add the entries of a JSON or CSV file</source>
        <translation>Die Einträge einer JSON- oder CSV-Datei hinzufügen</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exportieren …</translation>
    </message>
    <message>
        <source>Save the list as a JSON or CSV file</source>
        <translation>Die Liste als JSON- oder CSV-Datei speichern</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Bookmark files (*.json *.csv);;All files (*)</source>
        <translation>Lesezeichendateien (*.json *.csv);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Farlisten bookmarks (*.json)</source>
        <translation>Farlisten-Lesezeichen (*.json)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Entries saved to %2: %1.</source>
        <translation>In %2 gespeicherte Einträge: %1.</translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Nothing imported from %1. %2</source>
        <translation>Nichts aus %1 importiert. %2</translation>
    </message>
    <message>
        <source>Nothing new in %1: every entry is in the list already.</source>
        <translation>Nichts Neues in %1: Jeder Eintrag steht schon in der Liste.</translation>
    </message>
    <message>
        <source>New in %1: %2. Merged as already listed or repeated: %3.</source>
        <translation>Neu in %1: %2. Zusammengeführt, weil schon vorhanden oder doppelt: %3.</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Entries added: %1.</source>
        <translation>Hinzugefügte Einträge: %1.</translation>
    </message>
</context>
<context>
    <name>BookmarkNamePopup</name>
    <message>
        <source>Bookmark added. Name it:</source>
        <translation>Lesezeichen hinzugefügt. Geben Sie ihm einen Namen:</translation>
    </message>
    <message>
        <source>Return keeps the name, Escape keeps &quot;%1&quot;.</source>
        <translation>Die Eingabetaste übernimmt den Namen, Esc behält „%1“.</translation>
    </message>
</context>
<context>
    <name>BookmarksEditor</name>
    <message>
        <source>Servers</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>No Servers</source>
        <translation>Keine Server</translation>
    </message>
    <message>
        <source>Use the bookmark button next to the server address to save it.</source>
        <translation>Mit der Lesezeichen-Schaltfläche neben der Serveradresse lässt sich ein Server speichern.</translation>
    </message>
    <message>
        <source>Server address</source>
        <translation>Serveradresse</translation>
    </message>
    <message>
        <source>Add Server</source>
        <translation>Server hinzufügen</translation>
    </message>
    <message>
        <source>Not saved: %1</source>
        <translation>Nicht gespeichert: %1</translation>
    </message>
    <message>
        <source>Server address to add</source>
        <translation>Hinzuzufügende Serveradresse</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Type a server address to add</source>
        <translation>Eine Serveradresse zum Hinzufügen eingeben</translation>
    </message>
    <message>
        <source>The password the desktop keyring keeps for the selected server</source>
        <translation>Das Passwort, das der Desktop-Schlüsselbund für den ausgewählten Server aufbewahrt</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Set Password</source>
        <translation>Passwort festlegen</translation>
    </message>
    <message>
        <source>Clear Password</source>
        <translation>Passwort entfernen</translation>
    </message>
    <message>
        <source>Nothing kept: %1. Farlisten asks for the password when the receiver wants one.</source>
        <translation>Nichts gespeichert, denn %1. Farlisten fragt nach dem Passwort, wenn der Empfänger eines verlangt.</translation>
    </message>
    <message>
        <source>No password is kept for %1 now.</source>
        <translation>Für %1 ist jetzt kein Passwort mehr gespeichert.</translation>
    </message>
    <message>
        <source>The password for %1 is kept in the desktop keyring.</source>
        <translation>Das Passwort für %1 ist im Desktop-Schlüsselbund gespeichert.</translation>
    </message>
</context>
<context>
    <name>BookmarksMenu</name>
    <message>
        <source>&amp;Bookmarks</source>
        <translation>&amp;Lesezeichen</translation>
    </message>
    <message>
        <source>&amp;Add Bookmark</source>
        <translation>Lesezeichen &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Edit Bookmarks…</source>
        <translation>Lesezeichen &amp;bearbeiten…</translation>
    </message>
    <message>
        <source>No Bookmarks</source>
        <translation>Keine Lesezeichen</translation>
    </message>
</context>
<context>
    <name>CaptureSource</name>
    <message>
        <source>The sound server cannot be reached: %1</source>
        <translation>Der Soundserver ist nicht erreichbar: %1</translation>
    </message>
    <message>
        <source>Another program has a sound source named %1 already</source>
        <translation>Ein anderes Programm hat bereits eine Tonquelle namens %1</translation>
    </message>
    <message>
        <source>The sound server did not make the source: %1</source>
        <translation>Der Soundserver hat die Quelle nicht angelegt: %1</translation>
    </message>
    <message>
        <source>The sound server went away</source>
        <translation>Der Soundserver ist nicht mehr da</translation>
    </message>
</context>
<context>
    <name>CloseButtons</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>ColourMaps</name>
    <message>
        <source>Even (Purple to Yellow)</source>
        <translation>Gleichmäßig (Violett bis Gelb)</translation>
    </message>
    <message>
        <source>Colour-Blind Safe (Blue to Yellow)</source>
        <translation>Für Farbenblinde (Blau bis Gelb)</translation>
    </message>
    <message>
        <source>Heat</source>
        <translation>Hitze</translation>
    </message>
    <message>
        <source>Grey</source>
        <translation>Grau</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Klassisch</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Listen to public web shortwave receivers (KiwiSDR and OpenWebRX servers).</source>
        <translation>Öffentliche Kurzwellen-Webempfänger hören (KiwiSDR- und OpenWebRX-Server).</translation>
    </message>
    <message>
        <source>Tune to KHZ kilohertz.</source>
        <translation>Auf KHZ Kilohertz abstimmen.</translation>
    </message>
    <message>
        <source>Listen in MODE: am, amn, amw, sam, lsb, usb, cw, cwn, nbfm or wfm.</source>
        <translation>In der Betriebsart MODE hören: am, amn, amw, sam, lsb, usb, cw, cwn, nbfm oder wfm.</translation>
    </message>
    <message>
        <source>A receiver to open a window for and connect to: host, host:port, an http(s) address, or the address of a receiver&apos;s web page with its frequency and mode.</source>
        <translation>Ein Empfänger, für den ein Fenster geöffnet und verbunden wird: host, host:port, eine http(s)-Adresse oder die Adresse der Webseite eines Empfängers mit Frequenz und Betriebsart.</translation>
    </message>
    <message>
        <source>Ignored --frequency &quot;%1&quot;: not a frequency in kHz between 0 and 10 GHz.</source>
        <translation>--frequency „%1“ ignoriert: keine Frequenz in kHz zwischen 0 und 10 GHz.</translation>
    </message>
    <message>
        <source>Ignored the unknown --mode &quot;%1&quot;.</source>
        <translation>Unbekannte Betriebsart --mode „%1“ ignoriert.</translation>
    </message>
    <message>
        <source>Only the first %1 addresses are opened.</source>
        <translation>Nur die ersten %1 Adressen werden geöffnet.</translation>
    </message>
    <message>
        <source>Ignored &quot;%1&quot;: it names no server.</source>
        <translation>„%1“ ignoriert: Es nennt keinen Server.</translation>
    </message>
    <message>
        <source>Read the receiver list SOURCE (an address or a file) instead of the public lists, and show the Receivers window; may be given more than once.</source>
        <translation>Die Empfängerliste SOURCE (eine Adresse oder eine Datei) statt der öffentlichen Listen lesen und das Fenster Empfänger zeigen; darf mehrmals angegeben werden.</translation>
    </message>
</context>
<context>
    <name>DecodeFiles</name>
    <message>
        <source>The decodes could not be saved in %1: %2</source>
        <translation>Die Dekodierungen konnten nicht in %1 gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>DecoderChooser</name>
    <message>
        <source>Decoder</source>
        <translation>Decoder</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>DecoderPane</name>
    <message>
        <source>Save As…</source>
        <translation>Speichern unter …</translation>
    </message>
    <message>
        <source>Decoded text</source>
        <translation>Dekodierter Text</translation>
    </message>
    <message>
        <source>Decoded messages</source>
        <translation>Dekodierte Meldungen</translation>
    </message>
    <message>
        <source>Copied “%1”.</source>
        <translation>„%1“ kopiert.</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Copied.</source>
        <translation>Kopiert.</translation>
    </message>
    <message>
        <source>The decodes could not be saved: %1</source>
        <translation>Die Dekodierungen konnten nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>Save Decodes</source>
        <translation>Dekodierungen speichern</translation>
    </message>
    <message>
        <source>Saved to %1.</source>
        <translation>In %1 gespeichert.</translation>
    </message>
</context>
<context>
    <name>DecoderSpectrum</name>
    <message>
        <source>Click where the decoder should listen.</source>
        <translation>Klicken Sie dorthin, wo der Decoder hören soll.</translation>
    </message>
</context>
<context>
    <name>DecoderTableModel</name>
    <message>
        <source>UTC</source>
        <translation>UTC</translation>
    </message>
    <message>
        <source>dB</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>DT</source>
        <translation>DT</translation>
    </message>
    <message>
        <source>Audio Hz</source>
        <translation>Ton-Hz</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>Callsign</source>
        <translation>Rufzeichen</translation>
    </message>
    <message>
        <source>Locator</source>
        <translation>Locator</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
</context>
<context>
    <name>DirectoryRead</name>
    <message>
        <source>The list is larger than 16 MB and was not read.</source>
        <translation>Die Liste ist größer als 16 MB und wurde nicht gelesen.</translation>
    </message>
    <message>
        <source>The list has more than 20,000 entries and was not read.</source>
        <translation>Die Liste hat mehr als 20.000 Einträge und wurde nicht gelesen.</translation>
    </message>
    <message>
        <source>The list ends before it is complete.</source>
        <translation>Die Liste endet, bevor sie vollständig ist.</translation>
    </message>
    <message>
        <source>This is no receiver list Farlisten knows.</source>
        <translation>Das ist keine Empfängerliste, die Farlisten kennt.</translation>
    </message>
</context>
<context>
    <name>DirectorySources</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 Showing its list saved %2 ago.</source>
        <translation>%1 Gezeigt wird ihre Liste, gespeichert vor %2.</translation>
    </message>
</context>
<context>
    <name>FrequencyBookmarksEditor</name>
    <message>
        <source>Bookmarks</source>
        <translation>Lesezeichen</translation>
    </message>
    <message>
        <source>No Bookmarks</source>
        <translation>Keine Lesezeichen</translation>
    </message>
    <message>
        <source>Use the bookmark button next to the frequency to save it.</source>
        <translation>Mit der Lesezeichen-Schaltfläche neben der Frequenz lässt sich eine Frequenz speichern.</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Frequenz</translation>
    </message>
</context>
<context>
    <name>FrequencyListModel</name>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Frequenz</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Betriebsart</translation>
    </message>
</context>
<context>
    <name>FrequencyScale</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>KeyringPasswordStore</name>
    <message>
        <source>the desktop keyring refused access</source>
        <translation>der Desktop-Schlüsselbund hat den Zugriff verweigert</translation>
    </message>
    <message>
        <source>no desktop keyring (a Secret Service such as GNOME Keyring, or KWallet) is available</source>
        <translation>kein Desktop-Schlüsselbund (ein Secret Service wie GNOME Keyring oder KWallet) ist verfügbar</translation>
    </message>
</context>
<context>
    <name>KeysAndMouse</name>
    <message>
        <source>Return in the address field</source>
        <translation>Eingabetaste im Adressfeld</translation>
    </message>
    <message>
        <source>connect</source>
        <translation>verbinden</translation>
    </message>
    <message>
        <source>Ctrl+Return (or Ctrl+Enter)</source>
        <translation>Strg+Eingabe (oder Strg+Enter)</translation>
    </message>
    <message>
        <source>connect, or disconnect when connecting or connected</source>
        <translation>verbinden, oder trennen beim Verbinden oder wenn verbunden</translation>
    </message>
    <message>
        <source>Left / Right</source>
        <translation>Links / Rechts</translation>
    </message>
    <message>
        <source>tune down / up by the tuning step chosen beside the passband (each mode keeps its own)</source>
        <translation>um den neben dem Durchlass gewählten Abstimmschritt tiefer / höher abstimmen (jede Betriebsart behält ihren eigenen)</translation>
    </message>
    <message>
        <source>a / f</source>
        <translation>a / f</translation>
    </message>
    <message>
        <source>tune down / up 0.1 kHz</source>
        <translation>0,1 kHz tiefer / höher abstimmen</translation>
    </message>
    <message>
        <source>s / d</source>
        <translation>s / d</translation>
    </message>
    <message>
        <source>tune down / up 0.01 kHz</source>
        <translation>0,01 kHz tiefer / höher abstimmen</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Pos1</translation>
    </message>
    <message>
        <source>back to the tuned frequency after dragging the scale</source>
        <translation>nach dem Ziehen der Skala zurück zur abgestimmten Frequenz</translation>
    </message>
    <message>
        <source>Return or Escape in the frequency field</source>
        <translation>Eingabe oder Escape im Frequenzfeld</translation>
    </message>
    <message>
        <source>tune to the typed frequency, or leave it; the keys tune again</source>
        <translation>auf die eingetippte Frequenz abstimmen oder sie verwerfen; die Tasten stimmen wieder ab</translation>
    </message>
    <message>
        <source>M</source>
        <translation>M</translation>
    </message>
    <message>
        <source>mute or unmute</source>
        <translation>stumm schalten oder Ton wieder an</translation>
    </message>
    <message>
        <source>+ or = (also Ctrl++)</source>
        <translation>+ oder = (auch Strg++)</translation>
    </message>
    <message>
        <source>zoom the waterfall in</source>
        <translation>den Wasserfall vergrößern</translation>
    </message>
    <message>
        <source>- (also Ctrl+-)</source>
        <translation>- (auch Strg+-)</translation>
    </message>
    <message>
        <source>zoom the waterfall out</source>
        <translation>den Wasserfall verkleinern</translation>
    </message>
    <message>
        <source>Ctrl+D</source>
        <translation>Strg+D</translation>
    </message>
    <message>
        <source>bookmark the frequency and mode</source>
        <translation>Frequenz und Betriebsart als Lesezeichen speichern</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Strg+R</translation>
    </message>
    <message>
        <source>record, or stop recording</source>
        <translation>aufnehmen oder die Aufnahme beenden</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Strg+N</translation>
    </message>
    <message>
        <source>new window</source>
        <translation>neues Fenster</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Strg+W</translation>
    </message>
    <message>
        <source>close the window</source>
        <translation>das Fenster schließen</translation>
    </message>
    <message>
        <source>Ctrl+,</source>
        <translation>Strg+,</translation>
    </message>
    <message>
        <source>settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>every key and mouse action (this table)</source>
        <translation>alle Tasten und Mausaktionen (diese Tabelle)</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Strg+Q</translation>
    </message>
    <message>
        <source>quit</source>
        <translation>beenden</translation>
    </message>
    <message>
        <source>Alt+underlined letter</source>
        <translation>Alt+unterstrichener Buchstabe</translation>
    </message>
    <message>
        <source>open that menu; in an open menu the underlined letter picks the item</source>
        <translation>dieses Menü öffnen; in einem offenen Menü wählt der unterstrichene Buchstabe den Eintrag</translation>
    </message>
    <message>
        <source>click on the waterfall or spectrum</source>
        <translation>Klick auf Wasserfall oder Spektrum</translation>
    </message>
    <message>
        <source>tune to the strongest line within 4 pixels of the pointer when it stands at least 10 dB above the noise around it (an AM station in a broadcast band onto its channel: 5 kHz on short wave, 9 kHz on long and medium wave, 10 kHz there in region 2), else to the frequency under the pointer; either on the mode&apos;s grid: AM, AM narrow and wide, SAM and NBFM 1 kHz; LSB and USB 0.1 kHz; CW and CW narrow 0.01 kHz; WFM 100 kHz</source>
        <translation>auf die stärkste Linie bis 4 Pixel neben dem Zeiger abstimmen, wenn sie mindestens 10 dB über dem Rauschen um sie liegt (einen AM-Sender in einem Rundfunkband auf seinen Kanal: 5 kHz auf Kurzwelle, 9 kHz auf Lang- und Mittelwelle, dort 10 kHz in Region 2), sonst auf die Frequenz unter dem Zeiger; beides im Raster der Betriebsart: AM, AM schmal und breit, SAM und NBFM 1 kHz; LSB und USB 0,1 kHz; CW und CW schmal 0,01 kHz; WFM 100 kHz</translation>
    </message>
    <message>
        <source>Alt+click on the waterfall or spectrum</source>
        <translation>Alt+Klick auf Wasserfall oder Spektrum</translation>
    </message>
    <message>
        <source>tune exactly to the frequency under the pointer</source>
        <translation>genau auf die Frequenz unter dem Zeiger abstimmen</translation>
    </message>
    <message>
        <source>Ctrl+click on the waterfall or spectrum</source>
        <translation>Strg+Klick auf Wasserfall oder Spektrum</translation>
    </message>
    <message>
        <source>put the notch on that line</source>
        <translation>das Notch-Filter auf diese Linie setzen</translation>
    </message>
    <message>
        <source>click on a marker under the scale</source>
        <translation>Klick auf eine Marke unter der Skala</translation>
    </message>
    <message>
        <source>tune to its frequency and mode</source>
        <translation>auf ihre Frequenz und Betriebsart abstimmen</translation>
    </message>
    <message>
        <source>drag sideways, zoomed in</source>
        <translation>seitlich ziehen, vergrößert</translation>
    </message>
    <message>
        <source>pan the waterfall and retune by the same amount</source>
        <translation>den Wasserfall verschieben und um denselben Betrag nachstimmen</translation>
    </message>
    <message>
        <source>drag the frequency scale, zoomed in</source>
        <translation>die Frequenzskala ziehen, vergrößert</translation>
    </message>
    <message>
        <source>pan the waterfall without retuning</source>
        <translation>den Wasserfall verschieben, ohne nachzustimmen</translation>
    </message>
    <message>
        <source>drag an edge of the passband on the spectrum</source>
        <translation>eine Kante des Durchlasses im Spektrum ziehen</translation>
    </message>
    <message>
        <source>move that edge of the passband</source>
        <translation>diese Kante des Durchlasses verschieben</translation>
    </message>
    <message>
        <source>wheel over the waterfall or spectrum</source>
        <translation>Mausrad über Wasserfall oder Spektrum</translation>
    </message>
    <message>
        <source>tune up / down by the tuning step, onto its grid</source>
        <translation>um den Abstimmschritt höher / tiefer abstimmen, auf sein Raster</translation>
    </message>
    <message>
        <source>Ctrl+wheel over the waterfall or spectrum</source>
        <translation>Strg+Mausrad über Wasserfall oder Spektrum</translation>
    </message>
    <message>
        <source>zoom in / out about the pointer</source>
        <translation>um den Zeiger vergrößern / verkleinern</translation>
    </message>
    <message>
        <source>the tuning panel&apos;s and the waterfall header&apos;s buttons, sliders and boxes</source>
        <translation>Knöpfe, Regler und Felder der Abstimmung und der Wasserfall-Kopfzeile</translation>
    </message>
    <message>
        <source>as labelled</source>
        <translation>wie beschriftet</translation>
    </message>
</context>
<context>
    <name>KeysAndMouseWindow</name>
    <message>
        <source>Keys and Mouse</source>
        <translation>Tasten und Maus</translation>
    </message>
    <message>
        <source>Key or mouse</source>
        <translation>Taste oder Maus</translation>
    </message>
    <message>
        <source>Does</source>
        <translation>Wirkung</translation>
    </message>
</context>
<context>
    <name>KiwiWaterfallChannel</name>
    <message>
        <source>The waterfall stream was closed by the server.</source>
        <translation>Der Wasserfall-Datenstrom wurde vom Server geschlossen.</translation>
    </message>
    <message>
        <source>The receiver&apos;s limit on app connections closed the waterfall.</source>
        <translation>Die Grenze des Empfängers für Anwendungsverbindungen hat den Wasserfall geschlossen.</translation>
    </message>
    <message>
        <source>All waterfall channels are in use.</source>
        <translation>Alle Wasserfall-Kanäle sind belegt.</translation>
    </message>
</context>
<context>
    <name>LevelStepper</name>
    <message>
        <source>Decrement</source>
        <translation>Verringern</translation>
    </message>
    <message>
        <source>Increment</source>
        <translation>Erhöhen</translation>
    </message>
</context>
<context>
    <name>ListAge</name>
    <message>
        <source>less than a minute</source>
        <translation>weniger als einer Minute</translation>
    </message>
    <message>
        <source>a minute</source>
        <translation>einer Minute</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 Minuten</translation>
    </message>
    <message>
        <source>%1 hours</source>
        <translation>%1 Stunden</translation>
    </message>
    <message>
        <source>%1 days</source>
        <translation>%1 Tagen</translation>
    </message>
</context>
<context>
    <name>ListDownload</name>
    <message>
        <source>The file cannot be read: %1</source>
        <translation>Die Datei kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The server did not answer within a second.</source>
        <translation>Der Server hat nicht innerhalb einer Sekunde geantwortet.</translation>
    </message>
    <message>
        <source>The server did not answer within %1 seconds.</source>
        <translation>Der Server hat nicht innerhalb von %1 Sekunden geantwortet.</translation>
    </message>
    <message>
        <source>The server could not be reached: %1</source>
        <translation>Der Server ist nicht erreichbar: %1</translation>
    </message>
    <message>
        <source>The server answered with status %1.</source>
        <translation>Der Server hat mit Status %1 geantwortet.</translation>
    </message>
</context>
<context>
    <name>ListeningToolsPanel</name>
    <message>
        <source> dB</source>
        <translation> dB</translation>
    </message>
    <message>
        <source> Hz</source>
        <translation> Hz</translation>
    </message>
    <message>
        <source>Squelch</source>
        <translation>Rauschsperre</translation>
    </message>
    <message>
        <source>Mutes the sound until a signal rises above the noise</source>
        <translation>Schaltet den Ton stumm, bis ein Signal über das Rauschen steigt</translation>
    </message>
    <message>
        <source>Squelch level</source>
        <translation>Schwelle der Rauschsperre</translation>
    </message>
    <message>
        <source>How far above the measured noise floor a signal must be to open the squelch</source>
        <translation>Wie weit ein Signal über dem gemessenen Grundrauschen liegen muss, damit die Rauschsperre öffnet</translation>
    </message>
    <message>
        <source>Noise reduction</source>
        <translation>Rauschminderung</translation>
    </message>
    <message>
        <source>Pushes down steady noise between and around signals</source>
        <translation>Drückt gleichmäßiges Rauschen zwischen und neben den Signalen herunter</translation>
    </message>
    <message>
        <source>Noise reduction strength</source>
        <translation>Stärke der Rauschminderung</translation>
    </message>
    <message>
        <source>How far noise may be pushed down; more is quieter but may sound watery</source>
        <translation>Wie stark das Rauschen abgesenkt werden darf; mehr ist leiser, kann aber blubbernd klingen</translation>
    </message>
    <message>
        <source>Notch</source>
        <translation>Notchfilter</translation>
    </message>
    <message>
        <source>Removes one interfering tone. Ctrl+click a line on the waterfall or spectrum to place it there</source>
        <translation>Entfernt einen störenden Ton. Mit Strg+Klick auf eine Linie im Wasserfall oder Spektrum wird er dorthin gesetzt</translation>
    </message>
    <message>
        <source>Notch frequency</source>
        <translation>Frequenz des Notchfilters</translation>
    </message>
    <message>
        <source>The audio frequency of the tone to remove</source>
        <translation>Die Tonfrequenz des zu entfernenden Tons</translation>
    </message>
    <message>
        <source>Notch width</source>
        <translation>Breite des Notchfilters</translation>
    </message>
    <message>
        <source>How wide a band around the notch frequency is removed</source>
        <translation>Wie breit der Bereich um die Notch-Frequenz ist, der entfernt wird</translation>
    </message>
    <message>
        <source>Noise blanker</source>
        <translation>Störaustaster</translation>
    </message>
    <message>
        <source>Silences short clicks and crashes such as ignition or power-line noise</source>
        <translation>Blendet kurze Knackser und Krachen aus, etwa Zündfunken oder Störungen aus dem Stromnetz</translation>
    </message>
    <message>
        <source>Noise blanker threshold</source>
        <translation>Schwelle des Störaustasters</translation>
    </message>
    <message>
        <source>How far above the average level a click must be to be silenced; lower catches more</source>
        <translation>Wie weit ein Knacken über dem mittleren Pegel liegen muss, um ausgeblendet zu werden; niedriger erfasst mehr</translation>
    </message>
    <message>
        <source>Listening</source>
        <translation>Empfangshilfen</translation>
    </message>
    <message>
        <source>Squelch off</source>
        <translation>Rauschsperre aus</translation>
    </message>
    <message>
        <source>Squelch open</source>
        <translation>Rauschsperre offen</translation>
    </message>
    <message>
        <source>Squelch closed</source>
        <translation>Rauschsperre geschlossen</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>&amp;Record</source>
        <translation>&amp;Aufnehmen</translation>
    </message>
    <message>
        <source>%1 – %2 kHz – %3</source>
        <translation>%1 – %2 kHz – %3</translation>
    </message>
    <message>
        <source>&amp;Share with other programs</source>
        <translation>Mit anderen Programmen &amp;teilen</translation>
    </message>
    <message>
        <source>Programs tuning this window over rigctl: %1</source>
        <translation>Programme, die dieses Fenster über rigctl abstimmen: %1</translation>
    </message>
    <message>
        <source>Programs recording this window&apos;s sound: %1</source>
        <translation>Programme, die den Ton dieses Fensters aufnehmen: %1</translation>
    </message>
</context>
<context>
    <name>ModeChoiceDelegate</name>
    <message>
        <source>Mode</source>
        <translation>Betriebsart</translation>
    </message>
</context>
<context>
    <name>OpenWebRXSession</name>
    <message>
        <source>The receiver is busy: %1</source>
        <translation>Der Empfänger ist belegt: %1</translation>
    </message>
    <message>
        <source>The receiver is busy. Try again later.</source>
        <translation>Der Empfänger ist belegt. Bitte später noch einmal versuchen.</translation>
    </message>
    <message>
        <source>The receiver reported an SDR error.</source>
        <translation>Der Empfänger hat einen SDR-Fehler gemeldet.</translation>
    </message>
</context>
<context>
    <name>PasswordPrompt</name>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>This receiver asks for a password.</source>
        <translation>Dieser Empfänger verlangt ein Passwort.</translation>
    </message>
    <message>
        <source>The receiver did not accept the password.</source>
        <translation>Der Empfänger hat das Passwort nicht angenommen.</translation>
    </message>
    <message>
        <source>This is a plain http address, so the password travels unencrypted. Use the receiver&apos;s https address if it has one.</source>
        <translation>Dies ist eine einfache http-Adresse, daher wird das Passwort unverschlüsselt übertragen. Verwenden Sie die https-Adresse des Empfängers, falls er eine hat.</translation>
    </message>
    <message>
        <source>Farlisten cannot keep the password because %1, so it asks each time.</source>
        <translation>Farlisten kann das Passwort nicht behalten, denn %1; deshalb fragt es jedes Mal.</translation>
    </message>
    <message>
        <source>Send Password</source>
        <translation>Passwort senden</translation>
    </message>
</context>
<context>
    <name>Preferences</name>
    <message>
        <source>Your settings could not be saved to %1. Farlisten keeps them while it runs and tries again with the next change.</source>
        <translation>Ihre Einstellungen konnten nicht in %1 gespeichert werden. Farlisten behält sie, solange es läuft, und versucht es bei der nächsten Änderung erneut.</translation>
    </message>
    <message>
        <source>1 server bookmark could not be read and was set aside.</source>
        <translation>1 Server-Lesezeichen konnte nicht gelesen werden und wurde beiseitegelegt.</translation>
    </message>
    <message>
        <source>%1 server bookmarks could not be read and were set aside.</source>
        <translation>%1 Server-Lesezeichen konnten nicht gelesen werden und wurden beiseitegelegt.</translation>
    </message>
    <message>
        <source>1 frequency bookmark could not be read and was set aside.</source>
        <translation>1 Frequenz-Lesezeichen konnte nicht gelesen werden und wurde beiseitegelegt.</translation>
    </message>
    <message>
        <source>%1 frequency bookmarks could not be read and were set aside.</source>
        <translation>%1 Frequenz-Lesezeichen konnten nicht gelesen werden und wurden beiseitegelegt.</translation>
    </message>
</context>
<context>
    <name>PulseConnection</name>
    <message>
        <source>The sound server&apos;s client library could not start</source>
        <translation>Die Client-Bibliothek des Soundservers konnte nicht starten</translation>
    </message>
    <message>
        <source>it did not answer in time</source>
        <translation>er hat nicht rechtzeitig geantwortet</translation>
    </message>
</context>
<context>
    <name>PulseStreamEngine</name>
    <message>
        <source>the sound server did not answer in time</source>
        <translation>der Soundserver hat nicht rechtzeitig geantwortet</translation>
    </message>
    <message>
        <source>The sound for other programs could not start: %1</source>
        <translation>Der Ton für andere Programme konnte nicht starten: %1</translation>
    </message>
    <message>
        <source>No audio output device is available</source>
        <translation>Kein Audioausgabegerät verfügbar</translation>
    </message>
    <message>
        <source>The sound could not start: %1</source>
        <translation>Der Ton konnte nicht starten: %1</translation>
    </message>
    <message>
        <source>Sound for other programs</source>
        <translation>Ton für andere Programme</translation>
    </message>
</context>
<context>
    <name>ReceiverAddress</name>
    <message>
        <source>Ignored &quot;%1&quot; in the address.</source>
        <translation>„%1“ in der Adresse ignoriert.</translation>
    </message>
    <message>
        <source>Ignored the frequency &quot;%1&quot; in the address: not a frequency between 0 and 10 GHz.</source>
        <translation>Frequenz „%1“ in der Adresse ignoriert: keine Frequenz zwischen 0 und 10 GHz.</translation>
    </message>
    <message>
        <source>Ignored the unknown mode &quot;%1&quot; in the address.</source>
        <translation>Unbekannte Betriebsart „%1“ in der Adresse ignoriert.</translation>
    </message>
    <message>
        <source>Ignored the zoom &quot;%1&quot; in the address: not a zoom between 0 and %2.</source>
        <translation>Zoom „%1“ in der Adresse ignoriert: kein Zoom zwischen 0 und %2.</translation>
    </message>
    <message>
        <source>The address is longer than %1 characters; no tuning was read from it.</source>
        <translation>Die Adresse ist länger als %1 Zeichen; es wurde keine Abstimmung daraus gelesen.</translation>
    </message>
    <message>
        <source>Type a server address first.</source>
        <translation>Bitte zuerst eine Serveradresse eingeben.</translation>
    </message>
    <message>
        <source>The server address has a space in it.</source>
        <translation>Die Serveradresse enthält ein Leerzeichen.</translation>
    </message>
    <message>
        <source>The server address has no host name.</source>
        <translation>Die Serveradresse nennt keinen Rechnernamen.</translation>
    </message>
    <message>
        <source>The server address&apos;s port is not a number from 1 to 65535.</source>
        <translation>Der Port der Serveradresse ist keine Zahl von 1 bis 65535.</translation>
    </message>
    <message>
        <source>The server address has characters that no web address has.</source>
        <translation>Die Serveradresse enthält Zeichen, die keine Webadresse enthält.</translation>
    </message>
</context>
<context>
    <name>ReceiverClient</name>
    <message>
        <source>%1 or %2</source>
        <translation>%1 oder %2</translation>
    </message>
    <message>
        <source>The receiver offers no decoder named “%1”.</source>
        <translation>Der Empfänger bietet keinen Decoder namens „%1“ an.</translation>
    </message>
    <message>
        <source>“%1” cannot run here. %2</source>
        <translation>„%1“ kann hier nicht laufen. %2</translation>
    </message>
    <message>
        <source>“%1” runs only on %2.</source>
        <translation>„%1“ läuft nur in %2.</translation>
    </message>
</context>
<context>
    <name>ReceiverDecoders</name>
    <message>
        <source>The receiver lacks %1.</source>
        <translation>Dem Empfänger fehlt %1.</translation>
    </message>
    <message>
        <source>It runs on a mode Farlisten cannot tune.</source>
        <translation>Er läuft in einer Betriebsart, die Farlisten nicht abstimmen kann.</translation>
    </message>
</context>
<context>
    <name>ReceiverError</name>
    <message>
        <source>Bad password, or all channels that don&apos;t require a password are busy.</source>
        <translation>Falsches Passwort, oder alle Kanäle ohne Passwort sind belegt.</translation>
    </message>
    <message>
        <source>The receiver is still determining its local interface address. Try again shortly.</source>
        <translation>Der Empfänger ermittelt noch seine lokale Netzwerkadresse. Bitte gleich noch einmal versuchen.</translation>
    </message>
    <message>
        <source>Admin connections are not allowed from this IP address.</source>
        <translation>Admin-Verbindungen sind von dieser IP-Adresse aus nicht erlaubt.</translation>
    </message>
    <message>
        <source>No admin password set; only local connections are allowed.</source>
        <translation>Kein Admin-Passwort gesetzt; nur lokale Verbindungen sind erlaubt.</translation>
    </message>
    <message>
        <source>This receiver allows only one connection per IP address. Close other sessions to it (for example a browser tab) and try again.</source>
        <translation>Dieser Empfänger erlaubt nur eine Verbindung pro IP-Adresse. Bitte andere Sitzungen zu ihm schließen (etwa einen Browser-Tab) und es erneut versuchen.</translation>
    </message>
    <message>
        <source>The receiver is updating its database. Try again in a minute.</source>
        <translation>Der Empfänger aktualisiert seine Datenbank. Bitte in einer Minute noch einmal versuchen.</translation>
    </message>
    <message>
        <source>The receiver rejected the connection (badp=%1).</source>
        <translation>Der Empfänger hat die Verbindung abgelehnt (badp=%1).</translation>
    </message>
    <message>
        <source>All %1 channels on this receiver are in use. Try again later.</source>
        <translation>Alle %1 Kanäle dieses Empfängers sind belegt. Bitte später noch einmal versuchen.</translation>
    </message>
    <message>
        <source>All channels on this receiver are in use. Try again later.</source>
        <translation>Alle Kanäle dieses Empfängers sind belegt. Bitte später noch einmal versuchen.</translation>
    </message>
    <message>
        <source>This receiver only allows listening through its web page, so it disconnected this app.</source>
        <translation>Dieser Empfänger lässt nur das Hören über seine Webseite zu und hat diese Anwendung deshalb getrennt.</translation>
    </message>
    <message>
        <source>This receiver allows at most a few connections from apps other than its web page, and others are using them, so it disconnected this one. Try again later or use its web page.</source>
        <translation>Dieser Empfänger erlaubt nur wenige Verbindungen von anderen Anwendungen als seiner Webseite, und diese sind von anderen belegt; deshalb hat er diese Verbindung getrennt. Bitte später noch einmal versuchen oder seine Webseite benutzen.</translation>
    </message>
    <message>
        <source>This receiver allows at most %1 connections from apps other than its web page, and others are using them, so it disconnected this one. Try again later or use its web page.</source>
        <translation>Dieser Empfänger erlaubt höchstens %1 Verbindungen von anderen Anwendungen als seiner Webseite, und diese sind von anderen belegt; deshalb hat er diese Verbindung getrennt. Bitte später noch einmal versuchen oder seine Webseite benutzen.</translation>
    </message>
    <message>
        <source>The receiver redirected the connection to %1.</source>
        <translation>Der Empfänger hat die Verbindung nach %1 umgeleitet.</translation>
    </message>
    <message>
        <source>The receiver redirected the connection to another server.</source>
        <translation>Der Empfänger hat die Verbindung auf einen anderen Server umgeleitet.</translation>
    </message>
    <message>
        <source>Disconnected by the receiver: %1</source>
        <translation>Vom Empfänger getrennt: %1</translation>
    </message>
    <message>
        <source>Disconnected by the receiver.</source>
        <translation>Vom Empfänger getrennt.</translation>
    </message>
    <message>
        <source>Disconnected after %1 minutes of inactivity. Reconnect to continue listening.</source>
        <translation>Nach %1 Minuten Inaktivität getrennt. Zum Weiterhören neu verbinden.</translation>
    </message>
    <message>
        <source>Disconnected after inactivity. Reconnect to continue listening.</source>
        <translation>Wegen Inaktivität getrennt. Zum Weiterhören neu verbinden.</translation>
    </message>
    <message>
        <source>The connection was closed: %1</source>
        <translation>Die Verbindung wurde geschlossen: %1</translation>
    </message>
    <message>
        <source>The connection was closed by the server.</source>
        <translation>Die Verbindung wurde vom Server geschlossen.</translation>
    </message>
    <message>
        <source>The server address is not valid.</source>
        <translation>Die Serveradresse ist ungültig.</translation>
    </message>
    <message>
        <source>The receiver is down for maintenance.</source>
        <translation>Der Empfänger ist wegen Wartungsarbeiten außer Betrieb.</translation>
    </message>
    <message>
        <source>The receiver&apos;s 24-hour listening limit for your IP address has been reached.</source>
        <translation>Die 24-Stunden-Hörgrenze des Empfängers für Ihre IP-Adresse ist erreicht.</translation>
    </message>
    <message>
        <source>The receiver is currently reserved for exclusive use.</source>
        <translation>Der Empfänger ist zurzeit für eine exklusive Nutzung reserviert.</translation>
    </message>
    <message>
        <source>Disconnected after 1 minute of inactivity. Reconnect to continue listening.</source>
        <translation>Nach 1 Minute Inaktivität getrennt. Zum Weiterhören neu verbinden.</translation>
    </message>
</context>
<context>
    <name>ReceiverInfoRows</name>
    <message>
        <source>ADPCM with sync</source>
        <translation>ADPCM mit Sync</translation>
    </message>
    <message>
        <source>ADPCM</source>
        <translation>ADPCM</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source>Receiver</source>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Standort</translation>
    </message>
    <message>
        <source>Antenna</source>
        <translation>Antenne</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Locator</translation>
    </message>
    <message>
        <source>GPS</source>
        <translation>GPS</translation>
    </message>
    <message>
        <source>Software</source>
        <translation>Software</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Users</source>
        <translation>Hörer</translation>
    </message>
    <message>
        <source>API channels</source>
        <translation>API-Kanäle</translation>
    </message>
    <message>
        <source>None (web page only)</source>
        <translation>Keine (nur Webseite)</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>Coverage</source>
        <translation>Frequenzbereich</translation>
    </message>
    <message>
        <source>Audio rate</source>
        <translation>Abtastrate</translation>
    </message>
    <message>
        <source>Waterfall</source>
        <translation>Wasserfall</translation>
    </message>
    <message>
        <source>Uptime</source>
        <translation>Laufzeit</translation>
    </message>
    <message>
        <source>Inactivity limit</source>
        <translation>Inaktivitätsgrenze</translation>
    </message>
</context>
<context>
    <name>ReceiverInfoView</name>
    <message>
        <source>As of %1 UTC, when the connection ended</source>
        <translation>Stand %1 UTC, als die Verbindung endete</translation>
    </message>
</context>
<context>
    <name>ReceiverTableModel</name>
    <message>
        <source>KiwiSDR</source>
        <translation>KiwiSDR</translation>
    </message>
    <message>
        <source>OpenWebRX</source>
        <translation>OpenWebRX</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>%1 km</source>
        <translation>%1 km</translation>
    </message>
    <message>
        <source>%1°</source>
        <translation>%1°</translation>
    </message>
    <message>
        <source>%1 of %2 free</source>
        <translation>%1 von %2 frei</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Standort</translation>
    </message>
    <message>
        <source>Distance</source>
        <translation>Entfernung</translation>
    </message>
    <message>
        <source>Bearing</source>
        <translation>Richtung</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Kanäle</translation>
    </message>
    <message>
        <source>Coverage</source>
        <translation>Frequenzbereich</translation>
    </message>
    <message>
        <source>SNR</source>
        <translation>SNR</translation>
    </message>
    <message>
        <source>Antenna</source>
        <translation>Antenne</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>Alter</translation>
    </message>
    <message>
        <source>%1 – %2 GHz</source>
        <translation>%1 – %2 GHz</translation>
    </message>
    <message>
        <source>%1 – %2 MHz</source>
        <translation>%1 – %2 MHz</translation>
    </message>
    <message>
        <source>%1 – %2 kHz</source>
        <translation>%1 – %2 kHz</translation>
    </message>
</context>
<context>
    <name>ReceiversWindow</name>
    <message>
        <source>Receivers</source>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>Search names, places, antennas</source>
        <translation>Namen, Orte, Antennen suchen</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suche</translation>
    </message>
    <message>
        <source>All Kinds</source>
        <translation>Alle Arten</translation>
    </message>
    <message>
        <source>Has a free channel</source>
        <translation>Hat einen freien Kanal</translation>
    </message>
    <message>
        <source>Covers</source>
        <translation>Empfängt</translation>
    </message>
    <message>
        <source>Frequency in kHz</source>
        <translation>Frequenz in kHz</translation>
    </message>
    <message>
        <source>Within</source>
        <translation>Im Umkreis von</translation>
    </message>
    <message>
        <source> km</source>
        <translation> km</translation>
    </message>
    <message>
        <source>Best for This Frequency</source>
        <translation>Am besten für diese Frequenz</translation>
    </message>
    <message>
        <source>Receivers that cover the frequency first, then those with a free channel, then the highest SNR less 1 dB for every 500 km of distance</source>
        <translation>Zuerst die Empfänger, die die Frequenz empfangen, dann die mit einem freien Kanal, dann das höchste SNR abzüglich 1 dB je 500 km Entfernung</translation>
    </message>
    <message>
        <source>kHz</source>
        <translation>kHz</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Add to Servers</source>
        <translation>Zu den Servern hinzufügen</translation>
    </message>
    <message>
        <source>Connect When Free</source>
        <translation>Verbinden, sobald frei</translation>
    </message>
    <message>
        <source>Every channel is in use: connect as soon as one is free</source>
        <translation>Alle Kanäle sind belegt: verbinden, sobald einer frei ist</translation>
    </message>
    <message>
        <source>Listen</source>
        <translation>Hören</translation>
    </message>
    <message>
        <source>Listen in the current window; with Ctrl, in a new window</source>
        <translation>Im aktuellen Fenster hören; mit Strg in einem neuen Fenster</translation>
    </message>
    <message>
        <source>Set your location in Settings to filter by distance</source>
        <translation>Den eigenen Standort in den Einstellungen angeben, um nach Entfernung zu filtern</translation>
    </message>
    <message>
        <source>%1 of %2 receivers</source>
        <translation>%1 von %2 Empfängern</translation>
    </message>
    <message>
        <source>%1; lists from %2 ago</source>
        <translation>%1; Listen von vor %2</translation>
    </message>
    <message>
        <source>Fetching the receiver lists…</source>
        <translation>Die Empfängerlisten werden geholt…</translation>
    </message>
    <message>
        <source>Refreshing…</source>
        <translation>Wird aktualisiert…</translation>
    </message>
    <message>
        <source>Refresh at %1</source>
        <translation>Aktualisieren um %1</translation>
    </message>
    <message>
        <source>Each list is fetched at most once every 30 minutes</source>
        <translation>Jede Liste wird höchstens alle 30 Minuten geholt</translation>
    </message>
</context>
<context>
    <name>RecordingControl</name>
    <message>
        <source>Recording</source>
        <translation>Aufnahme</translation>
    </message>
    <message>
        <source>Stop &amp;Recording</source>
        <translation>Aufnahme &amp;beenden</translation>
    </message>
    <message>
        <source>&amp;Record</source>
        <translation>&amp;Aufnehmen</translation>
    </message>
    <message>
        <source>Stop recording (Ctrl+R)</source>
        <translation>Aufnahme beenden (Strg+R)</translation>
    </message>
    <message>
        <source>Record what you hear (Ctrl+R)</source>
        <translation>Aufnehmen, was zu hören ist (Strg+R)</translation>
    </message>
    <message>
        <source>Recorded to %1</source>
        <translation>Aufgenommen in %1</translation>
    </message>
    <message>
        <source>%1. Click to open the folder.</source>
        <translation>%1. Klicken öffnet den Ordner.</translation>
    </message>
</context>
<context>
    <name>RecordingController</name>
    <message>
        <source>Recording could not start: %1</source>
        <translation>Aufnahme konnte nicht beginnen: %1</translation>
    </message>
    <message>
        <source>Recording stopped: %1</source>
        <translation>Aufnahme beendet: %1</translation>
    </message>
</context>
<context>
    <name>RigctlServer</name>
    <message>
        <source>Programs cannot tune this window: %1</source>
        <translation>Programme können dieses Fenster nicht abstimmen: %1</translation>
    </message>
    <message>
        <source>Programs cannot tune this window: port %1 is in use</source>
        <translation>Programme können dieses Fenster nicht abstimmen: Port %1 ist belegt</translation>
    </message>
    <message>
        <source>Programs cannot tune this window: ports %1 to %2 are in use</source>
        <translation>Programme können dieses Fenster nicht abstimmen: Die Ports %1 bis %2 sind belegt</translation>
    </message>
</context>
<context>
    <name>SMeterScale</name>
    <message>
        <source>relative</source>
        <translation>relativ</translation>
    </message>
    <message>
        <source>No signal</source>
        <translation>Kein Signal</translation>
    </message>
    <message>
        <source>%1 dB, relative</source>
        <translation>%1 dB, relativ</translation>
    </message>
</context>
<context>
    <name>SMeterView</name>
    <message>
        <source>Signal strength</source>
        <translation>Signalstärke</translation>
    </message>
    <message>
        <source>OVL</source>
        <translation>OVL</translation>
    </message>
    <message>
        <source>ADC overload</source>
        <translation>ADC-Übersteuerung</translation>
    </message>
</context>
<context>
    <name>ServerListModel</name>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>Type a server address first.</source>
        <translation>Bitte zuerst eine Serveradresse eingeben.</translation>
    </message>
</context>
<context>
    <name>ServersMenu</name>
    <message>
        <source>&amp;Servers</source>
        <translation>&amp;Server</translation>
    </message>
    <message>
        <source>&amp;Edit Servers…</source>
        <translation>Server &amp;bearbeiten…</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Audio Output</source>
        <translation>Audioausgabe</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Hold to play a 1 kHz tone through the selected output</source>
        <translation>Gedrückt halten, um einen 1-kHz-Ton über die gewählte Ausgabe zu spielen</translation>
    </message>
    <message>
        <source>WAV</source>
        <translation>WAV</translation>
    </message>
    <message>
        <source>FLAC (about half the size)</source>
        <translation>FLAC (etwa halb so groß)</translation>
    </message>
    <message>
        <source>Recording Format</source>
        <translation>Aufnahmeformat</translation>
    </message>
    <message>
        <source>Where recordings go; left empty, your music folder</source>
        <translation>Wohin Aufnahmen gespeichert werden; leer gelassen: Ihr Musikordner</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen…</translation>
    </message>
    <message>
        <source>Recording Folder</source>
        <translation>Aufnahmeordner</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>Systemstandard</translation>
    </message>
    <message>
        <source>Unavailable Device</source>
        <translation>Nicht verfügbares Gerät</translation>
    </message>
    <message>
        <source>Playing a 1 kHz tone…</source>
        <translation>Spiele einen 1-kHz-Ton…</translation>
    </message>
    <message>
        <source>Reconnect automatically</source>
        <translation>Automatisch neu verbinden</translation>
    </message>
    <message>
        <source>When a connection drops, connect again after a growing wait; never after the receiver refused or ended it</source>
        <translation>Bricht eine Verbindung ab, nach wachsender Wartezeit erneut verbinden; nie, wenn der Empfänger sie abgelehnt oder beendet hat</translation>
    </message>
    <message>
        <source>Region 1: Europe, Africa, Middle East</source>
        <translation>Region 1: Europa, Afrika, Naher Osten</translation>
    </message>
    <message>
        <source>Region 2: the Americas</source>
        <translation>Region 2: Amerika</translation>
    </message>
    <message>
        <source>Region 3: Asia, Pacific</source>
        <translation>Region 3: Asien, Pazifik</translation>
    </message>
    <message>
        <source>Band plan:</source>
        <translation>Bandplan:</translation>
    </message>
    <message>
        <source>Show the receiver&apos;s own bands</source>
        <translation>Die eigenen Bänder des Empfängers zeigen</translation>
    </message>
    <message>
        <source>Where a receiver sends its operator&apos;s band bars, the scale shows them instead of the band plan</source>
        <translation>Wo ein Empfänger die Bandbalken seines Betreibers sendet, zeigt die Skala diese statt des Bandplans</translation>
    </message>
    <message>
        <source>Locator or latitude, longitude</source>
        <translation>Locator oder Breite, Länge</translation>
    </message>
    <message>
        <source>Where you are, for the distance and bearing of each receiver: a Maidenhead locator such as JO62qm, or degrees such as 52.52, 13.40</source>
        <translation>Wo Sie sind, für Entfernung und Richtung jedes Empfängers: ein Maidenhead-Locator wie JO62qm oder Grad wie 52.52, 13.40</translation>
    </message>
    <message>
        <source>This is neither a locator nor a latitude and longitude.</source>
        <translation>Das ist weder ein Locator noch Breite und Länge.</translation>
    </message>
    <message>
        <source>Your Location</source>
        <translation>Ihr Standort</translation>
    </message>
    <message>
        <source>Farlisten makes this folder when it first records.</source>
        <translation>Farlisten legt diesen Ordner bei der ersten Aufnahme an.</translation>
    </message>
    <message>
        <source>Share with other programs</source>
        <translation>Mit anderen Programmen teilen</translation>
    </message>
    <message>
        <source>Each main window offers its sound as a capture source and its tuning over rigctl, for WSJT-X, fldigi and other radio programs</source>
        <translation>Jedes Hauptfenster bietet seinen Ton als Aufnahmequelle und seine Abstimmung über rigctl an, für WSJT-X, fldigi und andere Funkprogramme</translation>
    </message>
    <message>
        <source>The shared sound passes the listening tools</source>
        <translation>Der geteilte Ton durchläuft die Empfangshilfen</translation>
    </message>
    <message>
        <source>Unticked, other programs hear the receiver&apos;s sound as it arrives, which suits decoders best</source>
        <translation>Nicht angekreuzt hören andere Programme den Ton des Empfängers so, wie er ankommt; das ist für Decoder am besten</translation>
    </message>
    <message>
        <source>Let other computers tune over rigctl</source>
        <translation>Anderen Computern das Abstimmen über rigctl erlauben</translation>
    </message>
    <message>
        <source>Unticked, only programs on this computer reach the rigctl ports</source>
        <translation>Nicht angekreuzt erreichen nur Programme auf diesem Computer die rigctl-Ports</translation>
    </message>
    <message>
        <source>Anyone who can reach this computer&apos;s rigctl ports can retune the receiver.</source>
        <translation>Wer die rigctl-Ports dieses Computers erreicht, kann den Empfänger umstimmen.</translation>
    </message>
</context>
<context>
    <name>SharePanel</name>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Copy “%1” to the clipboard</source>
        <translation>„%1“ in die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Share with other programs</source>
        <translation>Mit anderen Programmen teilen</translation>
    </message>
    <message>
        <source>Stop Sharing</source>
        <translation>Teilen beenden</translation>
    </message>
    <message>
        <source>Sound source</source>
        <translation>Tonquelle</translation>
    </message>
    <message>
        <source>Tuning (rigctl)</source>
        <translation>Abstimmung (rigctl)</translation>
    </message>
    <message>
        <source>In WSJT-X or fldigi, choose the rig “Hamlib NET rigctl” at this address and this sound source as the input; Mute and Volume act on the speaker only.</source>
        <translation>In WSJT-X oder fldigi das Funkgerät „Hamlib NET rigctl“ mit dieser Adresse und diese Tonquelle als Eingang wählen; Stummschalten und Lautstärke wirken nur auf den Lautsprecher.</translation>
    </message>
    <message>
        <source>Appears once a receiver is connected</source>
        <translation>Erscheint, sobald ein Empfänger verbunden ist</translation>
    </message>
    <message>
        <source>Being made…</source>
        <translation>Wird angelegt …</translation>
    </message>
    <message>
        <source>Programs list it by this name; parec records it with: parec -d %1</source>
        <translation>Programme führen sie unter diesem Namen; parec nimmt sie so auf: parec -d %1</translation>
    </message>
    <message>
        <source>Not available</source>
        <translation>Nicht verfügbar</translation>
    </message>
</context>
<context>
    <name>SoundFileWriter</name>
    <message>
        <source>The sound file cannot be started: %1</source>
        <translation>Die Audiodatei kann nicht angelegt werden: %1</translation>
    </message>
    <message>
        <source>The sound file is closed</source>
        <translation>Die Audiodatei ist geschlossen</translation>
    </message>
</context>
<context>
    <name>SoundRecorder</name>
    <message>
        <source>The file reached the largest size a WAV file can hold</source>
        <translation>Die Datei hat die größte Länge erreicht, die eine WAV-Datei fassen kann</translation>
    </message>
    <message>
        <source>The folder %1 cannot be made</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 holds too many recordings of that name</source>
        <translation>In %1 liegen zu viele Aufnahmen dieses Namens</translation>
    </message>
    <message>
        <source>The sound&apos;s sample rate cannot be recorded</source>
        <translation>Die Abtastrate des Tons kann nicht aufgenommen werden</translation>
    </message>
    <message>
        <source>There is no memory left for the recording</source>
        <translation>Für die Aufnahme ist kein Speicher mehr frei</translation>
    </message>
    <message>
        <source>The disk did not keep up with the sound</source>
        <translation>Der Datenträger kam mit dem Ton nicht mit</translation>
    </message>
</context>
<context>
    <name>StatusLine</name>
    <message>
        <source>Disconnected</source>
        <translation>Getrennt</translation>
    </message>
    <message>
        <source>Connecting…</source>
        <translation>Verbinde…</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Waiting for a free channel (%1:%2)</source>
        <translation>Warte auf einen freien Kanal (%1:%2)</translation>
    </message>
    <message>
        <source>Reconnecting in %1 s (try %2 of %3)</source>
        <translation>Neue Verbindung in %1 s (Versuch %2 von %3)</translation>
    </message>
</context>
<context>
    <name>TuningLabels</name>
    <message>
        <source>Tune down %1 kilohertz</source>
        <translation>%1 Kilohertz abwärts abstimmen</translation>
    </message>
    <message>
        <source>Tune up %1 kilohertz</source>
        <translation>%1 Kilohertz aufwärts abstimmen</translation>
    </message>
    <message>
        <source>Mode %1</source>
        <translation>Betriebsart %1</translation>
    </message>
    <message>
        <source>Bookmarked</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <source>This frequency and mode are bookmarked</source>
        <translation>Diese Frequenz und Betriebsart sind als Lesezeichen gespeichert</translation>
    </message>
    <message>
        <source>Bookmark Frequency</source>
        <translation>Frequenz merken</translation>
    </message>
    <message>
        <source>Bookmark this frequency and mode</source>
        <translation>Diese Frequenz und Betriebsart als Lesezeichen speichern</translation>
    </message>
    <message>
        <source>Unmute</source>
        <translation>Ton an</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>Stummschalten</translation>
    </message>
    <message>
        <source>%1 – %2 Hz</source>
        <translation>%1 – %2 Hz</translation>
    </message>
    <message>
        <source>%1 kHz</source>
        <translation>%1 kHz</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
</context>
<context>
    <name>TuningPanel</name>
    <message>
        <source>Frequency</source>
        <translation>Frequenz</translation>
    </message>
    <message>
        <source>Frequency in kilohertz</source>
        <translation>Frequenz in Kilohertz</translation>
    </message>
    <message>
        <source>Band</source>
        <translation>Band</translation>
    </message>
    <message>
        <source>AGC</source>
        <translation>AGC</translation>
    </message>
    <message>
        <source>RF Gain</source>
        <translation>HF-Verstärkung</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Lautstärke</translation>
    </message>
    <message>
        <source>Bands…</source>
        <translation>Bänder…</translation>
    </message>
    <message>
        <source>%1 kHz is outside the band “%2”; tuned to its nearest edge, %3 kHz. Another band may have it.</source>
        <translation>%1 kHz liegt außerhalb des Bands „%2“; auf dessen nächsten Rand abgestimmt: %3 kHz. Vielleicht enthält ein anderes Band diese Frequenz.</translation>
    </message>
    <message>
        <source>%1 kHz is outside this receiver&apos;s range; tuned to the nearest edge, %2 kHz.</source>
        <translation>%1 kHz liegt außerhalb des Bereichs dieses Empfängers; auf den nächsten Rand abgestimmt: %2 kHz.</translation>
    </message>
    <message>
        <source>The passband&apos;s edges, relative to the carrier</source>
        <translation>Die Kanten des Durchlassbereichs, bezogen auf den Träger</translation>
    </message>
    <message>
        <source>Tuning step</source>
        <translation>Abstimmschritt</translation>
    </message>
    <message>
        <source>How far the arrow keys and the wheel tune, kept for each mode</source>
        <translation>Wie weit Pfeiltasten und Mausrad abstimmen, für jede Betriebsart gemerkt</translation>
    </message>
    <message>
        <source>Passband</source>
        <translation>Durchlass</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Schritt</translation>
    </message>
    <message>
        <source>%1 kHz is far beyond this receiver, which reaches %2 kHz; the frequency stays.</source>
        <translation>%1 kHz liegt weit jenseits dieses Empfängers, der bis %2 kHz reicht; die Frequenz bleibt.</translation>
    </message>
</context>
<context>
    <name>WaterfallHeader</name>
    <message>
        <source>Waterfall</source>
        <translation>Wasserfall</translation>
    </message>
    <message>
        <source>Auto Range</source>
        <translation>Auto-Bereich</translation>
    </message>
    <message>
        <source>Floor </source>
        <translation>Unten </translation>
    </message>
    <message>
        <source>Ceiling </source>
        <translation>Oben </translation>
    </message>
    <message>
        <source>Span %1</source>
        <translation>Breite %1</translation>
    </message>
    <message>
        <source>Zoom %1</source>
        <translation>Zoom %1</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Light Averaging</source>
        <translation>Leichte Mittelung</translation>
    </message>
    <message>
        <source>Heavy Averaging</source>
        <translation>Starke Mittelung</translation>
    </message>
    <message>
        <source>No Averaging</source>
        <translation>Keine Mittelung</translation>
    </message>
    <message>
        <source>Off (Spectrum Only)</source>
        <translation>Aus (nur Spektrum)</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>Langsam</translation>
    </message>
    <message>
        <source>Medium</source>
        <translation>Mittel</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>Schnell</translation>
    </message>
    <message>
        <source>Follows the levels of the band with the colours</source>
        <translation>Passt die Farben den Pegeln des Bands an</translation>
    </message>
    <message>
        <source>The level shown darkest; changing it turns Auto Range off</source>
        <translation>Der am dunkelsten gezeigte Pegel; eine Änderung schaltet Auto-Bereich aus</translation>
    </message>
    <message>
        <source>Floor</source>
        <translation>Unten</translation>
    </message>
    <message>
        <source>The level shown brightest; changing it turns Auto Range off</source>
        <translation>Der am hellsten gezeigte Pegel; eine Änderung schaltet Auto-Bereich aus</translation>
    </message>
    <message>
        <source>Ceiling</source>
        <translation>Oben</translation>
    </message>
    <message>
        <source>Colours</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>The colour map of the waterfall</source>
        <translation>Die Farbpalette des Wasserfalls</translation>
    </message>
    <message>
        <source>Spectrum</source>
        <translation>Spektrum</translation>
    </message>
    <message>
        <source>Averaging and peak hold of the spectrum</source>
        <translation>Mittelung und Spitzenwert halten für das Spektrum</translation>
    </message>
    <message>
        <source>Peak Hold</source>
        <translation>Spitzenwert halten</translation>
    </message>
    <message>
        <source>Keeps the highest levels as a fainter line that sinks slowly</source>
        <translation>Zeigt die höchsten Pegel als blassere Linie, die langsam absinkt</translation>
    </message>
    <message>
        <source>Clear Peaks</source>
        <translation>Spitzenwerte löschen</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Geschwindigkeit</translation>
    </message>
    <message>
        <source>How fast the waterfall moves; the spectrum keeps going when it is off</source>
        <translation>Wie schnell der Wasserfall läuft; das Spektrum läuft weiter, wenn er aus ist</translation>
    </message>
</context>
<context>
    <name>WaterfallView</name>
    <message>
        <source>Not connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>Waiting for waterfall…</source>
        <translation>Warte auf den Wasserfall…</translation>
    </message>
</context>
<context>
    <name>WebSocketChannel</name>
    <message>
        <source>More than %1 KiB of messages waited for the connection to open</source>
        <translation>Mehr als %1 KiB an Nachrichten warteten auf den Verbindungsaufbau</translation>
    </message>
    <message>
        <source>The connection timed out</source>
        <translation>Zeitüberschreitung beim Verbindungsaufbau</translation>
    </message>
    <message>
        <source>The remote host closed the connection</source>
        <translation>Die Gegenstelle hat die Verbindung geschlossen</translation>
    </message>
    <message>
        <source>the receiver&apos;s certificate is not trusted (%1), so Farlisten does not connect to it</source>
        <translation>dem Zertifikat des Empfängers wird nicht vertraut (%1), daher verbindet sich Farlisten nicht mit ihm</translation>
    </message>
    <message>
        <source>The receiver sent nothing for %1 seconds</source>
        <translation>Der Empfänger hat %1 Sekunden lang nichts gesendet</translation>
    </message>
</context>
<context>
    <name>WindowFooter</name>
    <message>
        <source>%1 UTC</source>
        <translation>%1 UTC</translation>
    </message>
    <message>
        <source>Sound buffer %1 ms</source>
        <translation>Tonpuffer %1 ms</translation>
    </message>
    <message>
        <source>Network %1 kB/s</source>
        <translation>Netz %1 kB/s</translation>
    </message>
    <message>
        <source>Users %1 of %2</source>
        <translation>Hörer %1 von %2</translation>
    </message>
    <message>
        <source>Users %1</source>
        <translation>Hörer %1</translation>
    </message>
    <message>
        <source>CPU %1 %</source>
        <translation>CPU %1 %</translation>
    </message>
    <message>
        <source>%1 °C</source>
        <translation>%1 °C</translation>
    </message>
    <message>
        <source>Sound received and not yet played</source>
        <translation>Empfangener, noch nicht gespielter Ton</translation>
    </message>
    <message>
        <source>What the receiver&apos;s sound and waterfall take of the network</source>
        <translation>Was Ton und Wasserfall des Empfängers vom Netz beanspruchen</translation>
    </message>
    <message>
        <source>The receiver&apos;s own load, as it reports it</source>
        <translation>Die Last des Empfängers, wie er sie meldet</translation>
    </message>
</context>
<context>
    <name>WindowMenus</name>
    <message>
        <source>&amp;Receiver</source>
        <translation>&amp;Empfänger</translation>
    </message>
    <message>
        <source>&amp;Mute</source>
        <translation>&amp;Stummschalten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>&amp;Vergrößern</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Trennen</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Verbinden</translation>
    </message>
    <message>
        <source>&amp;Back to the Tuned Frequency</source>
        <translation>&amp;Zurück zur abgestimmten Frequenz</translation>
    </message>
</context>
<context>
    <name>WorldMap</name>
    <message>
        <source>Map of the receivers</source>
        <translation>Karte der Empfänger</translation>
    </message>
    <message>
        <source>KiwiSDR</source>
        <translation>KiwiSDR</translation>
    </message>
    <message>
        <source>OpenWebRX</source>
        <translation>OpenWebRX</translation>
    </message>
    <message>
        <source>No free channel</source>
        <translation>Kein freier Kanal</translation>
    </message>
</context>
</TS>
