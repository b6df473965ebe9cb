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
    <name>ktdv::EngineErrorText</name>
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
</TS>
