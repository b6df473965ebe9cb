<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>PageView</name>
    <message>
        <source>its data cannot be read</source>
        <translation>ihre Daten können nicht gelesen werden</translation>
    </message>
    <message>
        <source>Page %1 is incomplete: %2</source>
        <translation>Seite %1 ist unvollständig: %2</translation>
    </message>
    <message>
        <source>Page %1 cannot be shown: %2</source>
        <translation>Seite %1 kann nicht angezeigt werden: %2</translation>
    </message>
    <message>
        <source>The pages after page %1 cannot be shown: %2</source>
        <translation>Die Seiten nach Seite %1 können nicht angezeigt werden: %2</translation>
    </message>
    <message>
        <source>Its data cannot be read</source>
        <translation>Die Daten können nicht gelesen werden</translation>
    </message>
    <message>
        <source>%1 could not be shown.
%2</source>
        <translation>%1 konnte nicht angezeigt werden.
%2</translation>
    </message>
    <message>
        <source>The document was not printed: </source>
        <translation>Das Dokument wurde nicht gedruckt: </translation>
    </message>
    <message>
        <source>the document changed since it was opened</source>
        <translation>das Dokument wurde seit dem Öffnen geändert</translation>
    </message>
    <message>
        <source>the printer &quot;%1&quot; cannot be opened</source>
        <translation>der Drucker „%1“ kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>page %1 cannot be read</source>
        <translation>Seite %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the job could not be completed</source>
        <translation>der Auftrag konnte nicht abgeschlossen werden</translation>
    </message>
    <message>
        <source>%1 is protected by a password. Enter the password to open it:</source>
        <translation>%1 ist durch ein Kennwort geschützt. Geben Sie das Kennwort ein, um es zu öffnen:</translation>
    </message>
    <message>
        <source>No password was given</source>
        <translation>Es wurde kein Kennwort eingegeben</translation>
    </message>
    <message>
        <source>The password is not right</source>
        <translation>Das Kennwort ist nicht richtig</translation>
    </message>
</context>
<context>
    <name>PromptService</name>
    <message>
        <source>Password</source>
        <translation>Kennwort</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Other (%1)</source>
        <translation>Andere (%1)</translation>
    </message>
    <message>
        <source>Viewer Settings</source>
        <translation>Anzeigeeinstellungen</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Seiten</translation>
    </message>
    <message>
        <source>Fit Width</source>
        <translation>Seitenbreite</translation>
    </message>
    <message>
        <source>Fit Height</source>
        <translation>Seitenhöhe</translation>
    </message>
    <message>
        <source>Default zoom:</source>
        <translation>Standardvergrößerung:</translation>
    </message>
    <message>
        <source>Smooth scaling of grey and colour pages</source>
        <translation>Graustufen- und Farbseiten glatt skalieren</translation>
    </message>
    <message>
        <source>Show page thumbnails</source>
        <translation>Seitenminiaturen anzeigen</translation>
    </message>
    <message>
        <source>Save turned and flipped pages into the file</source>
        <translation>Gedrehte und gespiegelte Seiten in der Datei speichern</translation>
    </message>
    <message>
        <source>New annotations</source>
        <translation>Neue Anmerkungen</translation>
    </message>
    <message>
        <source>Filled Rectangle</source>
        <translation>Gefülltes Rechteck</translation>
    </message>
    <message>
        <source>Hollow Rectangle</source>
        <translation>Leeres Rechteck</translation>
    </message>
    <message>
        <source>Rectangles:</source>
        <translation>Rechtecke:</translation>
    </message>
    <message>
        <source>Rectangle fill colour:</source>
        <translation>Füllfarbe der Rechtecke:</translation>
    </message>
    <message>
        <source>Rectangle border colour:</source>
        <translation>Rahmenfarbe der Rechtecke:</translation>
    </message>
    <message>
        <source>Highlight colour:</source>
        <translation>Farbe der Hervorhebung:</translation>
    </message>
    <message>
        <source>Approved</source>
        <translation>Genehmigt</translation>
    </message>
    <message>
        <source>Draft</source>
        <translation>Entwurf</translation>
    </message>
    <message>
        <source>Received</source>
        <translation>Eingegangen</translation>
    </message>
    <message>
        <source>Rejected</source>
        <translation>Abgelehnt</translation>
    </message>
    <message>
        <source>Stamp:</source>
        <translation>Stempel:</translation>
    </message>
    <message>
        <source>Stamp colour:</source>
        <translation>Stempelfarbe:</translation>
    </message>
    <message>
        <source>Stamp font size (points):</source>
        <translation>Schriftgröße der Stempel (Punkt):</translation>
    </message>
    <message>
        <source>Stamp Properties</source>
        <translation>Stempeleigenschaften</translation>
    </message>
    <message>
        <source>Stamp colour</source>
        <translation>Stempelfarbe</translation>
    </message>
    <message>
        <source>Font size (points)</source>
        <translation>Schriftgröße (Punkt)</translation>
    </message>
    <message>
        <source>Rectangle Properties</source>
        <translation>Rechteckeigenschaften</translation>
    </message>
    <message>
        <source>Fill colour</source>
        <translation>Füllfarbe</translation>
    </message>
    <message>
        <source>Border colour</source>
        <translation>Rahmenfarbe</translation>
    </message>
    <message>
        <source>Highlight Properties</source>
        <translation>Eigenschaften der Hervorhebung</translation>
    </message>
    <message>
        <source>Highlight colour</source>
        <translation>Farbe der Hervorhebung</translation>
    </message>
    <message>
        <source>Recognise PDF pages that already carry text</source>
        <translation>PDF-Seiten, die bereits Text enthalten, trotzdem erkennen</translation>
    </message>
</context>
<context>
    <name>ctlKTDocView</name>
    <message>
        <source>OpenImage: Error (</source>
        <translation>OpenImage: Fehler (</translation>
    </message>
    <message>
        <source>CloseImage: Error (</source>
        <translation>CloseImage: Fehler (</translation>
    </message>
</context>
<context>
    <name>ktdocview-convert</name>
    <message>
        <source>Try &apos;ktdocview-convert --help&apos;.</source>
        <translation>Siehe &apos;ktdocview-convert --help&apos;.</translation>
    </message>
    <message>
        <source>shard %1 of %2, %3 documents, %4 pages at once</source>
        <translation>Teil %1 von %2, %3 Dokumente, %4 Seiten gleichzeitig</translation>
    </message>
    <message>
        <source>Documents to read.</source>
        <translation>Zu lesende Dokumente.</translation>
    </message>
    <message>
        <source>Output file, or folder for several inputs.</source>
        <translation>Ausgabedatei oder Ordner für mehrere Eingaben.</translation>
    </message>
    <message>
        <source>Export format, name or code.</source>
        <translation>Exportformat, Name oder Code.</translation>
    </message>
    <message>
        <source>Recognition language(s), e.g. eng or eng+deu (default eng).</source>
        <translation>Erkennungssprache(n), z. B. eng oder eng+deu (Vorgabe eng).</translation>
    </message>
    <message>
        <source>Pages to recognise, e.g. 1-3,5 (default all).</source>
        <translation>Zu erkennende Seiten, z. B. 1-3,5 (Vorgabe: alle).</translation>
    </message>
    <message>
        <source>Pages recognised at once (default: SLURM_CPUS_PER_TASK, else the cores this process may run on).</source>
        <translation>Gleichzeitig erkannte Seiten (Vorgabe: SLURM_CPUS_PER_TASK, sonst die Kerne, auf denen dieser Prozess laufen darf).</translation>
    </message>
    <message>
        <source>Folder whose doZed subfolder holds language data (default: the system&apos;s).</source>
        <translation>Ordner, dessen Unterordner doZed die Sprachdaten enthält (Vorgabe: die des Systems).</translation>
    </message>
    <message>
        <source>No progress bar.</source>
        <translation>Kein Fortschrittsbalken.</translation>
    </message>
    <message>
        <source>File with one input path a line, optionally a tab and its page count; - for standard input.</source>
        <translation>Datei mit einem Eingabepfad je Zeile, wahlweise mit Tabulator und Seitenzahl; - für die Standardeingabe.</translation>
    </message>
    <message>
        <source>Convert part K of N (0 &lt;= K &lt; N).</source>
        <translation>Teil K von N umwandeln (0 &lt;= K &lt; N).</translation>
    </message>
    <message>
        <source>Number of parts when the scheduler gives the part&apos;s index.</source>
        <translation>Anzahl der Teile, wenn der Scheduler die Nummer des Teils vorgibt.</translation>
    </message>
    <message>
        <source>Convert even where the output is newer than the input.</source>
        <translation>Auch dann umwandeln, wenn die Ausgabe neuer als die Eingabe ist.</translation>
    </message>
    <message>
        <source>Print this part&apos;s inputs, outputs and page counts (tab-separated) and stop.</source>
        <translation>Eingaben, Ausgaben und Seitenzahlen dieses Teils (durch Tabulatoren getrennt) ausgeben und beenden.</translation>
    </message>
    <message>
        <source>Add up the reports in OUTPUT and list the failures.</source>
        <translation>Die Berichte in OUTPUT zusammenzählen und die Fehlschläge auflisten.</translation>
    </message>
    <message>
        <source>no input given</source>
        <translation>keine Eingabe angegeben</translation>
    </message>
    <message>
        <source>no output given (-o)</source>
        <translation>keine Ausgabe angegeben (-o)</translation>
    </message>
    <message>
        <source>give --shard K/N or --shards N, not both</source>
        <translation>entweder --shard K/N oder --shards N angeben, nicht beides</translation>
    </message>
    <message>
        <source>bad shard: %1</source>
        <translation>ungültiger Teil: %1</translation>
    </message>
    <message>
        <source>bad shard count: %1</source>
        <translation>ungültige Anzahl der Teile: %1</translation>
    </message>
    <message>
        <source>with several inputs, a list or shards the output must be a folder</source>
        <translation>bei mehreren Eingaben, einer Liste oder Teilen muss die Ausgabe ein Ordner sein</translation>
    </message>
    <message>
        <source>unknown format: %1</source>
        <translation>unbekanntes Format: %1</translation>
    </message>
    <message>
        <source>bad page list: %1</source>
        <translation>ungültige Seitenliste: %1</translation>
    </message>
    <message>
        <source>bad job count: %1</source>
        <translation>ungültige Anzahl gleichzeitiger Seiten: %1</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>SLURM_ARRAY_TASK_MIN or _COUNT missing; give --shards N</source>
        <translation>SLURM_ARRAY_TASK_MIN oder _COUNT fehlt; --shards N angeben</translation>
    </message>
    <message>
        <source>JOB_COMPLETION_INDEX needs --shards N</source>
        <translation>JOB_COMPLETION_INDEX braucht --shards N</translation>
    </message>
    <message>
        <source>--shards needs a scheduler&apos;s task index (SLURM_ARRAY_TASK_ID or JOB_COMPLETION_INDEX)</source>
        <translation>--shards braucht die Aufgabennummer eines Schedulers (SLURM_ARRAY_TASK_ID oder JOB_COMPLETION_INDEX)</translation>
    </message>
    <message>
        <source>task %1 is outside the shards 0 to %2</source>
        <translation>Aufgabe %1 liegt außerhalb der Teile 0 bis %2</translation>
    </message>
    <message>
        <source>cannot read the list %1</source>
        <translation>die Liste %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>bad page count on line %1 of %2</source>
        <translation>ungültige Seitenzahl in Zeile %1 von %2</translation>
    </message>
    <message>
        <source>Recognises the text of documents (TIFF, fax, PDF, BMP, GIF, JPEG, PNG) and writes it in an export format.

One input: OUTPUT is the file to write.
Several inputs, a list (--from-list) or shards: OUTPUT is a folder (created for a list); each input is written there under its own name with the format&apos;s extension, below the folders the inputs do not have in common (scan.tif -&gt; OUTPUT/scan.pdf). An output newer than its input is kept (--force converts again); outputs appear whole or not at all. Each task appends one JSON line per document to OUTPUT/report-K.jsonl; --summarise OUTPUT adds them up.

Shards: --shard K/N converts the K-th (from 0) of N parts of the inputs, balanced by page count where the list gives one (&quot;path&lt;TAB&gt;pages&quot;). Without --shard the part comes from a Slurm array task (SLURM_ARRAY_TASK_ID; with --shards N the task ids are the shard numbers 0..N-1, so a single task can be submitted again) or a Kubernetes Indexed Job (JOB_COMPLETION_INDEX with --shards N).

Formats (name or code): rtf 1, ansi 2, dos 3, unicode 4, tabular 5, dos-formatted 6, unicode-formatted 7, html 9, pdf-text 10, pdf-text-on-image 11, pdf 12 (searchable: page image with invisible text), pdf-annotated 13 (recognised and searchable as pdf, pages as stored, neither turned nor straightened, with the document&apos;s annotations as PDF annotations). Without --format the output&apos;s extension decides: .rtf, .html, .pdf, else ansi.

Exit status: 0 when every input was converted, 1 when any failed (each failure is reported as &quot;ktdocview-convert: &lt;message&gt; (&lt;input&gt;)&quot;), 2 for a bad command line.</source>
        <translation>Erkennt den Text von Dokumenten (TIFF, Fax, PDF, BMP, GIF, JPEG, PNG) und schreibt ihn in einem Exportformat.

Eine Eingabe: OUTPUT ist die zu schreibende Datei.
Mehrere Eingaben, eine Liste (--from-list) oder Teile: OUTPUT ist ein Ordner (für eine Liste wird er angelegt); jede Eingabe wird dort unter ihrem eigenen Namen mit der Endung des Formats geschrieben, unterhalb der Ordner, die die Eingaben nicht gemeinsam haben (scan.tif -&gt; OUTPUT/scan.pdf). Eine Ausgabe, die neuer als ihre Eingabe ist, bleibt erhalten (--force wandelt erneut um); Ausgaben erscheinen ganz oder gar nicht. Jede Aufgabe hängt je Dokument eine JSON-Zeile an OUTPUT/report-K.jsonl an; --summarise OUTPUT zählt sie zusammen.

Teile: --shard K/N wandelt den K-ten (ab 0) von N Teilen der Eingaben um, nach Seitenzahl ausgeglichen, wo die Liste eine angibt (&quot;Pfad&lt;TAB&gt;Seiten&quot;). Ohne --shard ergibt sich der Teil aus einer Slurm-Array-Aufgabe (SLURM_ARRAY_TASK_ID; mit --shards N sind die Aufgabennummern die Teilnummern 0..N-1, sodass eine einzelne Aufgabe erneut eingereicht werden kann) oder einem Kubernetes Indexed Job (JOB_COMPLETION_INDEX mit --shards N).

Formate (Name oder Code): rtf 1, ansi 2, dos 3, unicode 4, tabular 5, dos-formatted 6, unicode-formatted 7, html 9, pdf-text 10, pdf-text-on-image 11, pdf 12 (durchsuchbar: Seitenbild mit unsichtbarem Text), pdf-annotated 13 (erkannt und durchsuchbar wie pdf, Seiten wie gespeichert, weder gedreht noch begradigt, mit den Anmerkungen des Dokuments als PDF-Anmerkungen). Ohne --format entscheidet die Endung der Ausgabe: .rtf, .html, .pdf, sonst ansi.

Exit-Status: 0, wenn jede Eingabe umgewandelt wurde, 1, wenn eine scheiterte (jeder Fehlschlag wird als &quot;ktdocview-convert: &lt;Meldung&gt; (&lt;Eingabe&gt;)&quot; gemeldet), 2 bei einer ungültigen Befehlszeile.</translation>
    </message>
</context>
<context>
    <name>ktdv::AnnotationInteraction</name>
    <message>
        <source>Manage Annotation</source>
        <translation>Anmerkung verwalten</translation>
    </message>
    <message>
        <source>Delete Annotation</source>
        <translation>Anmerkung löschen</translation>
    </message>
    <message>
        <source>Edit Annotation</source>
        <translation>Anmerkung bearbeiten</translation>
    </message>
    <message>
        <source>Move Annotation</source>
        <translation>Anmerkung verschieben</translation>
    </message>
    <message>
        <source>Manage Stamp</source>
        <translation>Stempel verwalten</translation>
    </message>
    <message>
        <source>Approved</source>
        <translation>Genehmigt</translation>
    </message>
    <message>
        <source>Draft</source>
        <translation>Entwurf</translation>
    </message>
    <message>
        <source>Received</source>
        <translation>Eingegangen</translation>
    </message>
    <message>
        <source>Rejected</source>
        <translation>Abgelehnt</translation>
    </message>
    <message>
        <source>Rectange Selection</source>
        <translation>Rechteckauswahl</translation>
    </message>
    <message>
        <source>Filled Rectangle</source>
        <translation>Gefülltes Rechteck</translation>
    </message>
    <message>
        <source>Hollow Rectangle</source>
        <translation>Leeres Rechteck</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Confirm Delete</source>
        <translation>Löschen bestätigen</translation>
    </message>
    <message>
        <source>Delete Annotation ?</source>
        <translation>Anmerkung löschen?</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>Approved </source>
        <translation>Genehmigt </translation>
    </message>
    <message>
        <source>Received </source>
        <translation>Eingegangen </translation>
    </message>
    <message>
        <source>Rejected </source>
        <translation>Abgelehnt </translation>
    </message>
</context>
<context>
    <name>ktdv::ConversionProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Stop the conversion (Esc)</source>
        <translation>Umwandlung abbrechen (Esc)</translation>
    </message>
</context>
<context>
    <name>ktdv::DocumentConversion</name>
    <message>
        <source>Rich Text Format (*.rtf)</source>
        <translation>Rich Text Format (*.rtf)</translation>
    </message>
    <message>
        <source>ANSI Text - Unformatted (*.txt)</source>
        <translation>ANSI-Text - unformatiert (*.txt)</translation>
    </message>
    <message>
        <source>DOS Text - Unformatted (*.txt)</source>
        <translation>DOS-Text - unformatiert (*.txt)</translation>
    </message>
    <message>
        <source>Unicode Text - Unformatted (*.txt)</source>
        <translation>Unicode-Text - unformatiert (*.txt)</translation>
    </message>
    <message>
        <source>Tabular Data Format (*.txt)</source>
        <translation>Tabellarisches Datenformat (*.txt)</translation>
    </message>
    <message>
        <source>DOS Text - Formatted (*.txt)</source>
        <translation>DOS-Text - formatiert (*.txt)</translation>
    </message>
    <message>
        <source>Unicode Text - Formatted (*.txt)</source>
        <translation>Unicode-Text - formatiert (*.txt)</translation>
    </message>
    <message>
        <source>HTML (*.html)</source>
        <translation>HTML (*.html)</translation>
    </message>
    <message>
        <source>PDF Text Only (*.pdf)</source>
        <translation>PDF nur Text (*.pdf)</translation>
    </message>
    <message>
        <source>PDF Text on Image (*.pdf)</source>
        <translation>PDF Text auf Bild (*.pdf)</translation>
    </message>
    <message>
        <source>PDF Image on Text (*.pdf)</source>
        <translation>PDF Bild auf Text (*.pdf)</translation>
    </message>
    <message>
        <source>Convert Document to File</source>
        <translation>Dokument in Datei umwandeln</translation>
    </message>
    <message>
        <source>The file name is longer than %1 characters. Choose a shorter name or folder.</source>
        <translation>Der Dateiname ist länger als %1 Zeichen. Wählen Sie einen kürzeren Namen oder Ordner.</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ist bereits vorhanden.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>Converting Document to %1...</source>
        <translation>Dokument wird in %1 umgewandelt...</translation>
    </message>
    <message>
        <source>ZidaDodi Error: (</source>
        <translation>ZidaDodi-Fehler: (</translation>
    </message>
    <message>
        <source>Converting Document to Clipboard...</source>
        <translation>Dokument wird in die Zwischenablage umgewandelt...</translation>
    </message>
    <message>
        <source>ZidaDodi Error (Clipboard): (</source>
        <translation>ZidaDodi-Fehler (Zwischenablage): (</translation>
    </message>
    <message>
        <source>PDF with annotations (*.pdf)</source>
        <translation>PDF mit Anmerkungen (*.pdf)</translation>
    </message>
    <message>
        <source>(text read from the PDF&apos;s text layer)</source>
        <translation>(Text aus der Textebene der PDF-Datei gelesen)</translation>
    </message>
</context>
<context>
    <name>ktdv::DocumentSession</name>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>PNG Images </source>
        <translation>PNG-Bilder </translation>
    </message>
    <message>
        <source>Image Files </source>
        <translation>Bilddateien </translation>
    </message>
    <message>
        <source>All files </source>
        <translation>Alle Dateien </translation>
    </message>
    <message>
        <source>  Read-only</source>
        <translation>  Schreibgeschützt</translation>
    </message>
    <message>
        <source>LoadImage: Error (</source>
        <translation>LoadImage: Fehler (</translation>
    </message>
    <message>
        <source>PDF Documents </source>
        <translation>PDF-Dokumente </translation>
    </message>
    <message>
        <source>Not available: PDF documents are read-only in this viewer.</source>
        <translation>Nicht verfügbar: PDF-Dokumente sind in diesem Betrachter schreibgeschützt.</translation>
    </message>
</context>
<context>
    <name>ktdv::EditHistory</name>
    <message>
        <source>Delete Page %1</source>
        <translation>Seite %1 löschen</translation>
    </message>
    <message>
        <source>Move Page %1</source>
        <translation>Seite %1 verschieben</translation>
    </message>
    <message>
        <source>Add Annotation</source>
        <translation>Anmerkung hinzufügen</translation>
    </message>
    <message>
        <source>Delete Annotation</source>
        <translation>Anmerkung löschen</translation>
    </message>
    <message>
        <source>Edit Annotation</source>
        <translation>Anmerkung bearbeiten</translation>
    </message>
    <message>
        <source>Flip Page %1</source>
        <translation>Seite %1 spiegeln</translation>
    </message>
    <message>
        <source>Rotate Page %1</source>
        <translation>Seite %1 drehen</translation>
    </message>
</context>
<context>
    <name>ktdv::FindBar</name>
    <message>
        <source>Text to find</source>
        <translation>Zu suchender Text</translation>
    </message>
    <message>
        <source>Previous match (Shift+F3)</source>
        <translation>Vorheriger Treffer (Umschalt+F3)</translation>
    </message>
    <message>
        <source>Next match (F3)</source>
        <translation>Nächster Treffer (F3)</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>What was found</source>
        <translation>Gefundene Treffer</translation>
    </message>
    <message>
        <source>Close the find bar (Esc)</source>
        <translation>Suchleiste schließen (Esc)</translation>
    </message>
    <message>
        <source>Find text</source>
        <translation>Text suchen</translation>
    </message>
    <message>
        <source>Clear the text to find</source>
        <translation>Suchtext löschen</translation>
    </message>
</context>
<context>
    <name>ktdv::KeyboardCursor</name>
    <message>
        <source>Keyboard cursor</source>
        <translation>Tastaturcursor</translation>
    </message>
    <message>
        <source>Where Enter draws or clicks on the page; the arrow keys move it.</source>
        <translation>Wo die Eingabetaste auf der Seite zeichnet oder klickt; die Pfeiltasten bewegen ihn.</translation>
    </message>
</context>
<context>
    <name>ktdv::PageCommands</name>
    <message>
        <source>Fit Width</source>
        <translation>Seitenbreite</translation>
    </message>
    <message>
        <source>Fit Height</source>
        <translation>Seitenhöhe</translation>
    </message>
    <message>
        <source>The document was not printed: </source>
        <translation>Das Dokument wurde nicht gedruckt: </translation>
    </message>
</context>
<context>
    <name>ktdv::PrinterStatus</name>
    <message>
        <source>the printer is not ready</source>
        <translation>der Drucker ist nicht bereit</translation>
    </message>
    <message>
        <source>no printer is set up</source>
        <translation>es ist kein Drucker eingerichtet</translation>
    </message>
    <message>
        <source>the printer &quot;%1&quot; is stopped</source>
        <translation>der Drucker „%1“ ist angehalten</translation>
    </message>
    <message>
        <source>the printer &quot;%1&quot; does not accept jobs</source>
        <translation>der Drucker „%1“ nimmt keine Aufträge an</translation>
    </message>
    <message>
        <source>the printer &quot;%1&quot; reports &quot;%2&quot;</source>
        <translation>der Drucker „%1“ meldet „%2“</translation>
    </message>
</context>
<context>
    <name>ktdv::SelectionZone</name>
    <message>
        <source>Converting Zone to Clipboard...</source>
        <translation>Bereich wird in die Zwischenablage umgewandelt...</translation>
    </message>
</context>
<context>
    <name>ktdv::TextFind</name>
    <message>
        <source>Find Text</source>
        <translation>Text suchen</translation>
    </message>
    <message>
        <source>Find Text (Ctrl+F)</source>
        <translation>Text suchen (Strg+F)</translation>
    </message>
    <message>
        <source>No matches yet, %1 pages still being read</source>
        <translation>Noch keine Treffer, %1 Seiten werden noch gelesen</translation>
    </message>
    <message>
        <source>No matches</source>
        <translation>Keine Treffer</translation>
    </message>
    <message>
        <source>%1 of %2 on 1 page</source>
        <translation>%1 von %2 auf 1 Seite</translation>
    </message>
    <message>
        <source>%1 of %2 on %3 pages</source>
        <translation>%1 von %2 auf %3 Seiten</translation>
    </message>
    <message>
        <source>, %1 pages still being read</source>
        <translation>, %1 Seiten werden noch gelesen</translation>
    </message>
</context>
<context>
    <name>ktdv::ThumbnailAccessible</name>
    <message>
        <source>Page %1, shown</source>
        <translation>Seite %1, angezeigt</translation>
    </message>
    <message>
        <source>Page %1</source>
        <translation>Seite %1</translation>
    </message>
</context>
<context>
    <name>ktdv::ThumbnailEvents</name>
    <message>
        <source>Loading page ...</source>
        <translation>Seite wird geladen ...</translation>
    </message>
    <message>
        <source>Loading page: %1 ...</source>
        <translation>Seite wird geladen: %1 ...</translation>
    </message>
</context>
<context>
    <name>ktdv::ThumbnailRenderer</name>
    <message>
        <source>The page could not be scaled.</source>
        <translation>Die Seite konnte nicht skaliert werden.</translation>
    </message>
    <message>
        <source>The page could not be read.</source>
        <translation>Die Seite konnte nicht gelesen werden.</translation>
    </message>
</context>
<context>
    <name>ktdv::ThumbnailView</name>
    <message>
        <source>The document is read-only. No page can be deleted.</source>
        <translation>Das Dokument ist schreibgeschützt. Es kann keine Seite gelöscht werden.</translation>
    </message>
    <message>
        <source>The document is read-only. No page can be moved.</source>
        <translation>Das Dokument ist schreibgeschützt. Es kann keine Seite verschoben werden.</translation>
    </message>
    <message>
        <source>The only page of a document cannot be deleted.</source>
        <translation>Die einzige Seite eines Dokuments kann nicht gelöscht werden.</translation>
    </message>
    <message>
        <source>Delete Page</source>
        <translation>Seite löschen</translation>
    </message>
    <message>
        <source>Delete page %1 from the document?
The document file is changed; this cannot be undone.</source>
        <translation>Seite %1 aus dem Dokument löschen?
Die Dokumentdatei wird geändert; dies kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>Page %1 could not be deleted: %2</source>
        <translation>Seite %1 konnte nicht gelöscht werden: %2</translation>
    </message>
    <message>
        <source>Page %1 could not be moved: %2</source>
        <translation>Seite %1 konnte nicht verschoben werden: %2</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>%1 x %2 pixels, %3 x %4 dpi</source>
        <translation>%1 x %2 Pixel, %3 x %4 dpi</translation>
    </message>
    <message>
        <source>Move Page Up</source>
        <translation>Seite nach oben verschieben</translation>
    </message>
    <message>
        <source>Move Page Down</source>
        <translation>Seite nach unten verschieben</translation>
    </message>
    <message>
        <source>Delete page %1 from the document?
The document file is changed; Undo brings the page back.</source>
        <translation>Seite %1 aus dem Dokument löschen?
Die Dokumentdatei wird geändert; mit „Rückgängig“ kommt die Seite zurück.</translation>
    </message>
    <message>
        <source>Not available: PDF documents are read-only in this viewer.</source>
        <translation>Nicht verfügbar: PDF-Dokumente sind in diesem Betrachter schreibgeschützt.</translation>
    </message>
</context>
<context>
    <name>ktdv::Toolbar</name>
    <message>
        <source>Open Document</source>
        <translation>Dokument öffnen</translation>
    </message>
    <message>
        <source>Print/Fax Document</source>
        <translation>Dokument drucken/faxen</translation>
    </message>
    <message>
        <source>Select Tool</source>
        <translation>Auswahlwerkzeug</translation>
    </message>
    <message>
        <source>Scroll Document</source>
        <translation>Dokument scrollen</translation>
    </message>
    <message>
        <source>Display Annotation Toolbox</source>
        <translation>Anmerkungswerkzeuge anzeigen</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Fit to Width</source>
        <translation>An Breite anpassen</translation>
    </message>
    <message>
        <source>Fit To Height</source>
        <translation>An Höhe anpassen</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Originalgröße</translation>
    </message>
    <message>
        <source>Rotate Left</source>
        <translation>Nach links drehen</translation>
    </message>
    <message>
        <source>Flip</source>
        <translation>Spiegeln</translation>
    </message>
    <message>
        <source>Rotate Right</source>
        <translation>Nach rechts drehen</translation>
    </message>
    <message>
        <source>First Page</source>
        <translation>Erste Seite</translation>
    </message>
    <message>
        <source>Previous Page</source>
        <translation>Vorherige Seite</translation>
    </message>
    <message>
        <source>Next Page</source>
        <translation>Nächste Seite</translation>
    </message>
    <message>
        <source>Last Page</source>
        <translation>Letzte Seite</translation>
    </message>
    <message>
        <source>Display Document</source>
        <translation>Dokument anzeigen</translation>
    </message>
    <message>
        <source>Display ThumbNail</source>
        <translation>Miniaturen anzeigen</translation>
    </message>
    <message>
        <source>Display Both</source>
        <translation>Beides anzeigen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Go To Page Number</source>
        <translation>Gehe zu Seitenzahl</translation>
    </message>
    <message>
        <source>Toggle Print Annotations</source>
        <translation>Anmerkungen drucken ein/aus</translation>
    </message>
    <message>
        <source>Convert Document to File</source>
        <translation>Dokument in Datei umwandeln</translation>
    </message>
    <message>
        <source>Convert Document to Clipboard</source>
        <translation>Dokument in Zwischenablage umwandeln</translation>
    </message>
    <message>
        <source>Annotation select tool</source>
        <translation>Anmerkungen auswählen</translation>
    </message>
    <message>
        <source>Rectangle annotation</source>
        <translation>Rechteck-Anmerkung</translation>
    </message>
    <message>
        <source>Highlight annotation</source>
        <translation>Hervorhebung</translation>
    </message>
    <message>
        <source>Text annotation</source>
        <translation>Text-Anmerkung</translation>
    </message>
    <message>
        <source>Stamp annotation</source>
        <translation>Stempel</translation>
    </message>
    <message>
        <source>Copy Selection to Clipboard</source>
        <translation>Auswahl in die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Zoom to Selection</source>
        <translation>Auswahl vergrößern</translation>
    </message>
    <message>
        <source>Convert Selection to text</source>
        <translation>Auswahl in Text umwandeln</translation>
    </message>
    <message>
        <source>Freehand annotation</source>
        <translation>Freihand-Anmerkung</translation>
    </message>
    <message>
        <source>Line annotation</source>
        <translation>Linien-Anmerkung</translation>
    </message>
    <message>
        <source>Text annotation from a file</source>
        <translation>Text-Anmerkung aus einer Datei</translation>
    </message>
    <message>
        <source>Note annotation</source>
        <translation>Notiz-Anmerkung</translation>
    </message>
    <message>
        <source>Unused tool</source>
        <translation>Unbenutztes Werkzeug</translation>
    </message>
</context>
<context>
    <name>ktdv::UndoRedo</name>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>No document is open.</source>
        <translation>Es ist kein Dokument geöffnet.</translation>
    </message>
    <message>
        <source>Undo and redo are not available: the document has no TIFF pages to change.</source>
        <translation>Rückgängig und Wiederholen sind nicht verfügbar: Das Dokument hat keine TIFF-Seiten, die sich ändern lassen.</translation>
    </message>
    <message>
        <source>Undo and redo are not available: the document is read-only.</source>
        <translation>Rückgängig und Wiederholen sind nicht verfügbar: Das Dokument ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Rückgängig: %1</translation>
    </message>
    <message>
        <source>Nothing to undo.</source>
        <translation>Nichts rückgängig zu machen.</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Wiederholen: %1</translation>
    </message>
    <message>
        <source>Nothing to redo.</source>
        <translation>Nichts zu wiederholen.</translation>
    </message>
    <message>
        <source>Undo is not possible: the document was changed by another program since its last change here. Its earlier changes can no longer be undone or redone.</source>
        <translation>Rückgängig ist nicht möglich: Das Dokument wurde seit seiner letzten Änderung hier von einem anderen Programm geändert. Seine früheren Änderungen lassen sich nicht mehr rückgängig machen oder wiederholen.</translation>
    </message>
    <message>
        <source>Redo is not possible: the document was changed by another program since its last change here. Its earlier changes can no longer be undone or redone.</source>
        <translation>Wiederholen ist nicht möglich: Das Dokument wurde seit seiner letzten Änderung hier von einem anderen Programm geändert. Seine früheren Änderungen lassen sich nicht mehr rückgängig machen oder wiederholen.</translation>
    </message>
    <message>
        <source>The change could not be undone: %1</source>
        <translation>Die Änderung konnte nicht rückgängig gemacht werden: %1</translation>
    </message>
    <message>
        <source>The change could not be redone: %1</source>
        <translation>Die Änderung konnte nicht wiederholt werden: %1</translation>
    </message>
</context>
<context>
    <name>ktdv::ViewerAccess</name>
    <message>
        <source>Document viewer</source>
        <translation>Dokumentbetrachter</translation>
    </message>
    <message>
        <source>Shows a document&apos;s pages; F6 moves between the toolbars, the thumbnails and the page.</source>
        <translation>Zeigt die Seiten eines Dokuments; F6 wechselt zwischen den Symbolleisten, den Miniaturen und der Seite.</translation>
    </message>
    <message>
        <source>No document</source>
        <translation>Kein Dokument</translation>
    </message>
    <message>
        <source>The page; in selection mode the arrow keys move a cursor and Enter draws with the chosen tool.</source>
        <translation>Die Seite; im Auswahlmodus bewegen die Pfeiltasten einen Cursor, und die Eingabetaste zeichnet mit dem gewählten Werkzeug.</translation>
    </message>
    <message>
        <source>Thumbnails</source>
        <translation>Miniaturen</translation>
    </message>
    <message>
        <source>Page thumbnails</source>
        <translation>Seitenminiaturen</translation>
    </message>
    <message>
        <source>The pages of the shown range; Enter shows the selected page, Delete deletes it.</source>
        <translation>Die Seiten des angezeigten Bereichs; die Eingabetaste zeigt die ausgewählte Seite, Entf löscht sie.</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Hauptsymbolleiste</translation>
    </message>
    <message>
        <source>Annotation toolbar</source>
        <translation>Anmerkungssymbolleiste</translation>
    </message>
    <message>
        <source>Selection toolbar</source>
        <translation>Auswahlsymbolleiste</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Statusleiste</translation>
    </message>
    <message>
        <source>Page ranges</source>
        <translation>Seitenbereiche</translation>
    </message>
    <message>
        <source>Scroll the thumbnails</source>
        <translation>Miniaturen blättern</translation>
    </message>
    <message>
        <source>Splitter</source>
        <translation>Teiler</translation>
    </message>
    <message>
        <source>Divides the thumbnails from the page; drag it to change their widths.</source>
        <translation>Trennt die Miniaturen von der Seite; zum Ändern der Breiten ziehen.</translation>
    </message>
    <message>
        <source>Splitter position</source>
        <translation>Position des Teilers</translation>
    </message>
    <message>
        <source>Page number</source>
        <translation>Seitenzahl</translation>
    </message>
    <message>
        <source>The number of the page to go to.</source>
        <translation>Die Nummer der Seite, zu der gewechselt wird.</translation>
    </message>
    <message>
        <source>Choose the page number</source>
        <translation>Seitenzahl wählen</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>Los</translation>
    </message>
    <message>
        <source>Shows the page with this number.</source>
        <translation>Zeigt die Seite mit dieser Nummer.</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menü</translation>
    </message>
    <message>
        <source>Horizontal scroll bar</source>
        <translation>Horizontale Bildlaufleiste</translation>
    </message>
    <message>
        <source>Vertical scroll bar</source>
        <translation>Vertikale Bildlaufleiste</translation>
    </message>
    <message>
        <source>Earlier page ranges</source>
        <translation>Frühere Seitenbereiche</translation>
    </message>
    <message>
        <source>Later page ranges</source>
        <translation>Spätere Seitenbereiche</translation>
    </message>
    <message>
        <source>More buttons</source>
        <translation>Weitere Schaltflächen</translation>
    </message>
    <message>
        <source>Separator</source>
        <translation>Trennlinie</translation>
    </message>
    <message>
        <source>Page %1 of %2, %3</source>
        <translation>Seite %1 von %2, %3</translation>
    </message>
</context>
<context>
    <name>ktdv::ViewerControl</name>
    <message>
        <source>MainToolbar Error(</source>
        <translation>MainToolbar Fehler(</translation>
    </message>
    <message>
        <source>OpenImage: Error (</source>
        <translation>OpenImage: Fehler (</translation>
    </message>
</context>
<context>
    <name>ktdv::ViewerError</name>
    <message>
        <source>Type mismatch</source>
        <translation>Typen unverträglich</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Überlauf</translation>
    </message>
    <message>
        <source>Object variable or With block variable not set</source>
        <translation>Objektvariable oder With-Blockvariable nicht festgelegt</translation>
    </message>
    <message>
        <source>Cannot create the component object</source>
        <translation>Das Komponentenobjekt kann nicht erstellt werden</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Nicht genügend Speicher</translation>
    </message>
    <message>
        <source>Unknown failure</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>Index out of bounds</source>
        <translation>Index außerhalb der Grenzen</translation>
    </message>
    <message>
        <source>Subscript out of range</source>
        <translation>Index außerhalb des gültigen Bereichs</translation>
    </message>
</context>
<context>
    <name>ktdv::ViewerWidgets</name>
    <message>
        <source>Path to the current document</source>
        <translation>Pfad des aktuellen Dokuments</translation>
    </message>
    <message>
        <source>Document zoom factor</source>
        <translation>Vergrößerung des Dokuments</translation>
    </message>
    <message>
        <source>Page number</source>
        <translation>Seitenzahl</translation>
    </message>
    <message>
        <source>File attributes</source>
        <translation>Dateiattribute</translation>
    </message>
    <message>
        <source>Page ranges for documents with more than 50 pages.</source>
        <translation>Seitenbereiche für Dokumente mit mehr als 50 Seiten.</translation>
    </message>
    <message>
        <source>Choose a page range</source>
        <translation>Seitenbereich wählen</translation>
    </message>
    <message>
        <source>Go to Page</source>
        <translation>Gehe zu Seite</translation>
    </message>
    <message>
        <source>&amp;Go</source>
        <translation>&amp;Los</translation>
    </message>
    <message>
        <source>Manage Pages</source>
        <translation>Seiten verwalten</translation>
    </message>
    <message>
        <source>Move Page</source>
        <translation>Seite verschieben</translation>
    </message>
    <message>
        <source>Delete Page</source>
        <translation>Seite löschen</translation>
    </message>
</context>
<context>
    <name>ktdv::imaging</name>
    <message>
        <source>annotations take %1 bytes, more than the %2 allowed</source>
        <translation>die Anmerkungen belegen %1 Byte, mehr als die erlaubten %2</translation>
    </message>
    <message>
        <source>the tag does not hold annotations</source>
        <translation>das Tag enthält keine Anmerkungen</translation>
    </message>
    <message>
        <source>annotations are truncated</source>
        <translation>die Anmerkungen sind abgeschnitten</translation>
    </message>
    <message>
        <source>annotations were written in format %1, this program reads %2</source>
        <translation>die Anmerkungen wurden im Format %1 geschrieben, dieses Programm liest %2</translation>
    </message>
    <message>
        <source>annotations are %1 bytes long, %2 expected</source>
        <translation>die Anmerkungen sind %1 Byte lang, erwartet wurden %2</translation>
    </message>
    <message>
        <source>annotations are corrupt</source>
        <translation>die Anmerkungen sind beschädigt</translation>
    </message>
    <message>
        <source>%1 annotations on one page, more than the %2 allowed</source>
        <translation>%1 Anmerkungen auf einer Seite, mehr als die erlaubten %2</translation>
    </message>
    <message>
        <source>the stored annotations are larger than the %1 bytes allowed</source>
        <translation>die gespeicherten Anmerkungen sind größer als die erlaubten %1 Byte</translation>
    </message>
    <message>
        <source>the stored annotations cannot be read from the file</source>
        <translation>die gespeicherten Anmerkungen können nicht aus der Datei gelesen werden</translation>
    </message>
    <message>
        <source>an annotation lies outside any page</source>
        <translation>eine Anmerkung liegt außerhalb jeder Seite</translation>
    </message>
    <message>
        <source>the stored annotations of page %1 cannot be read (%2); they are left as they are</source>
        <translation>die gespeicherten Anmerkungen von Seite %1 können nicht gelesen werden (%2); sie bleiben, wie sie sind</translation>
    </message>
    <message>
        <source>annotations would take %1 bytes, more than the %2 allowed</source>
        <translation>die Anmerkungen würden %1 Byte belegen, mehr als die erlaubten %2</translation>
    </message>
    <message>
        <source>No fax data</source>
        <translation>Keine Faxdaten</translation>
    </message>
    <message>
        <source>The fax data ends inside row %1</source>
        <translation>Die Faxdaten enden mitten in Zeile %1</translation>
    </message>
    <message>
        <source>Bad fax code in row %1</source>
        <translation>Ungültiger Faxcode in Zeile %1</translation>
    </message>
    <message>
        <source>The file cannot be read: %1</source>
        <translation>Die Datei kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The fax file is too large</source>
        <translation>Die Faxdatei ist zu groß</translation>
    </message>
    <message>
        <source>Not a picture</source>
        <translation>Kein Bild</translation>
    </message>
    <message>
        <source>No page %1 in %2</source>
        <translation>Keine Seite %1 in %2</translation>
    </message>
    <message>
        <source>Cannot read %1</source>
        <translation>%1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Unknown file format</source>
        <translation>Unbekanntes Dateiformat</translation>
    </message>
    <message>
        <source>The page has no pixels</source>
        <translation>Die Seite hat keine Pixel</translation>
    </message>
    <message>
        <source>Too large: %1 x %2 pixels</source>
        <translation>Zu groß: %1 x %2 Pixel</translation>
    </message>
    <message>
        <source>No temporary folder to keep the page in for undo</source>
        <translation>Kein temporärer Ordner, um die Seite für das Rückgängigmachen aufzubewahren</translation>
    </message>
    <message>
        <source>There is nothing to undo</source>
        <translation>Es gibt nichts rückgängig zu machen</translation>
    </message>
    <message>
        <source>There is nothing to redo</source>
        <translation>Es gibt nichts wiederherzustellen</translation>
    </message>
    <message>
        <source>The document was changed outside this viewer after its last change here</source>
        <translation>Das Dokument wurde nach seiner letzten Änderung hier außerhalb dieses Viewers geändert</translation>
    </message>
    <message>
        <source>No temporary folder to keep the page in</source>
        <translation>Kein temporärer Ordner, um die Seite aufzubewahren</translation>
    </message>
    <message>
        <source>The page&apos;s tag %1 cannot be read</source>
        <translation>Das Tag %1 der Seite kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>The image cannot be read: %1</source>
        <translation>Das Bild kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The fax data cannot be decoded</source>
        <translation>Die Faxdaten können nicht dekodiert werden</translation>
    </message>
    <message>
        <source>The fax data holds no rows</source>
        <translation>Die Faxdaten enthalten keine Zeilen</translation>
    </message>
    <message>
        <source>%1 is not a regular file</source>
        <translation>%1 ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>%1 is read-only</source>
        <translation>%1 ist schreibgeschützt</translation>
    </message>
    <message>
        <source>Cannot create a temporary file</source>
        <translation>Eine temporäre Datei kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Cannot write the file</source>
        <translation>Die Datei kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Cannot set the permissions</source>
        <translation>Die Zugriffsrechte können nicht gesetzt werden</translation>
    </message>
    <message>
        <source>Cannot flush the file to disk</source>
        <translation>Die Datei kann nicht auf die Festplatte geschrieben werden</translation>
    </message>
    <message>
        <source>Cannot close the file</source>
        <translation>Die Datei kann nicht geschlossen werden</translation>
    </message>
    <message>
        <source>Cannot replace %1</source>
        <translation>%1 kann nicht ersetzt werden</translation>
    </message>
    <message>
        <source>The new content of %1 could not be made</source>
        <translation>Der neue Inhalt von %1 konnte nicht erstellt werden</translation>
    </message>
    <message>
        <source>Cannot reopen the temporary file</source>
        <translation>Die temporäre Datei kann nicht wieder geöffnet werden</translation>
    </message>
    <message>
        <source>Too many sub-directories</source>
        <translation>Zu viele Unterverzeichnisse</translation>
    </message>
    <message>
        <source>The directories loop</source>
        <translation>Die Verzeichnisse bilden eine Schleife</translation>
    </message>
    <message>
        <source>The image data&apos;s sizes are missing</source>
        <translation>Die Größen der Bilddaten fehlen</translation>
    </message>
    <message>
        <source>Image data lies outside the file</source>
        <translation>Bilddaten liegen außerhalb der Datei</translation>
    </message>
    <message>
        <source>A directory is damaged</source>
        <translation>Ein Verzeichnis ist beschädigt</translation>
    </message>
    <message>
        <source>The file cannot be read</source>
        <translation>Die Datei kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Tag %1 is too large</source>
        <translation>Tag %1 ist zu groß</translation>
    </message>
    <message>
        <source>Tag %1 lies outside the file</source>
        <translation>Tag %1 liegt außerhalb der Datei</translation>
    </message>
    <message>
        <source>The TIFF file has no pages</source>
        <translation>Die TIFF-Datei hat keine Seiten</translation>
    </message>
    <message>
        <source>Cannot read the image data</source>
        <translation>Die Bilddaten können nicht gelesen werden</translation>
    </message>
    <message>
        <source>Cannot write the file: %1</source>
        <translation>Die Datei kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>The page does not fit a classic TIFF file</source>
        <translation>Die Seite passt nicht in eine klassische TIFF-Datei</translation>
    </message>
    <message>
        <source>The image data overlaps itself</source>
        <translation>Die Bilddaten überlappen sich</translation>
    </message>
    <message>
        <source>JPEG data lies outside the file</source>
        <translation>JPEG-Daten liegen außerhalb der Datei</translation>
    </message>
    <message>
        <source>A JPEG table is damaged</source>
        <translation>Eine JPEG-Tabelle ist beschädigt</translation>
    </message>
    <message>
        <source>The page&apos;s layout is invalid</source>
        <translation>Der Aufbau der Seite ist ungültig</translation>
    </message>
    <message>
        <source>Out of memory for a %1 x %2 page</source>
        <translation>Nicht genug Speicher für eine Seite mit %1 x %2 Pixeln</translation>
    </message>
    <message>
        <source>Strip %1 is incomplete</source>
        <translation>Streifen %1 ist unvollständig</translation>
    </message>
    <message>
        <source>The page&apos;s tiles are invalid</source>
        <translation>Die Kacheln der Seite sind ungültig</translation>
    </message>
    <message>
        <source>Page incomplete</source>
        <translation>Seite unvollständig</translation>
    </message>
    <message>
        <source>The page could not be decoded</source>
        <translation>Die Seite konnte nicht dekodiert werden</translation>
    </message>
    <message>
        <source>Cannot read the page directory</source>
        <translation>Das Verzeichnis der Seite kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>%1-bit floating-point samples are not supported</source>
        <translation>Gleitkomma-Abtastwerte mit %1 Bit werden nicht unterstützt</translation>
    </message>
    <message>
        <source>The file ends inside the page&apos;s image data</source>
        <translation>Die Datei endet mitten in den Bilddaten der Seite</translation>
    </message>
    <message>
        <source>%1 does not exist</source>
        <translation>%1 ist nicht vorhanden</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Not a TIFF file</source>
        <translation>Keine TIFF-Datei</translation>
    </message>
    <message>
        <source>Cannot edit %1: %2</source>
        <translation>%1 kann nicht bearbeitet werden: %2</translation>
    </message>
    <message>
        <source>%1 would exceed 4 GB</source>
        <translation>%1 würde 4 GB überschreiten</translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>The file would exceed 4 GB</source>
        <translation>Die Datei würde 4 GB überschreiten</translation>
    </message>
    <message>
        <source>No image to write</source>
        <translation>Kein Bild zum Schreiben</translation>
    </message>
    <message>
        <source>Cannot write the image</source>
        <translation>Das Bild kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Cannot open %1</source>
        <translation>%1 kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>There is no page %1</source>
        <translation>Es gibt keine Seite %1</translation>
    </message>
    <message>
        <source>The last page cannot be deleted</source>
        <translation>Die letzte Seite kann nicht gelöscht werden</translation>
    </message>
    <message>
        <source>There is no such page</source>
        <translation>Diese Seite gibt es nicht</translation>
    </message>
    <message>
        <source>Cannot create a temporary folder</source>
        <translation>Ein temporärer Ordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Cannot encode the page: %1</source>
        <translation>Die Seite kann nicht kodiert werden: %1</translation>
    </message>
    <message>
        <source>Cannot store the page: %1</source>
        <translation>Die Seite kann nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Tag %1 cannot be written</source>
        <translation>Tag %1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>The value of tag %1 is too large</source>
        <translation>Der Wert von Tag %1 ist zu groß</translation>
    </message>
    <message>
        <source>The PDF document cannot be read</source>
        <translation>Das PDF-Dokument kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>The PDF document needs a password</source>
        <translation>Das PDF-Dokument braucht ein Kennwort</translation>
    </message>
    <message>
        <source>The password is not right</source>
        <translation>Das Kennwort ist nicht richtig</translation>
    </message>
    <message>
        <source>The PDF document has no pages</source>
        <translation>Das PDF-Dokument hat keine Seiten</translation>
    </message>
    <message>
        <source>The page cannot be read</source>
        <translation>Die Seite kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Too large</source>
        <translation>Zu groß</translation>
    </message>
    <message>
        <source>The page cannot be drawn</source>
        <translation>Die Seite kann nicht gezeichnet werden</translation>
    </message>
</context>
<context>
    <name>ktdv::ocr</name>
    <message>
        <source>Failed to get module</source>
        <translation>Modul nicht gefunden</translation>
    </message>
    <message>
        <source>Failed locating library path</source>
        <translation>Bibliothekspfad nicht gefunden</translation>
    </message>
    <message>
        <source>Failed loading library</source>
        <translation>Bibliothek konnte nicht geladen werden</translation>
    </message>
    <message>
        <source>Failed to initialise</source>
        <translation>Initialisierung fehlgeschlagen</translation>
    </message>
    <message>
        <source>File does not exist</source>
        <translation>Datei ist nicht vorhanden</translation>
    </message>
    <message>
        <source>Failed to split file</source>
        <translation>Datei konnte nicht aufgeteilt werden</translation>
    </message>
    <message>
        <source>Failed to open page file</source>
        <translation>Seitendatei konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Failed to create layout</source>
        <translation>Layout konnte nicht erstellt werden</translation>
    </message>
    <message>
        <source>Failed to recognise</source>
        <translation>Erkennung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Failed to export</source>
        <translation>Export fehlgeschlagen</translation>
    </message>
    <message>
        <source>Failed to open clipboard</source>
        <translation>Zwischenablage konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Failed to open export file</source>
        <translation>Exportdatei konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Failed to save file</source>
        <translation>Datei konnte nicht gespeichert werden</translation>
    </message>
    <message>
        <source>Clipboard is empty</source>
        <translation>Zwischenablage ist leer</translation>
    </message>
</context>
</TS>
