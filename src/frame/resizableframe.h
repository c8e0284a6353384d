// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/controls.h"
#include "frame/framebase.h"

#include <QImage>

class QDragEnterEvent;
class QDropEvent;

namespace tavlo {

class PictureLoader;

// The corner grip: the size-grip glyph drawn in its fore colour at its
// bottom-right corner. Presses go on to the form.
class CornerGrip final : public QWidget, public TwipsBox
{
    Q_OBJECT
public:
    CornerGrip(const QString &name, QWidget *parent);
    OleColor ForeColor() const { return m_foreColor; }
    void setForeColor(OleColor colour);
    void sync();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    OleColor m_foreColor = 0;
};

// A surface that shows one picture at its top left, its back colour around
// it. Tag holds what the picture stands for (the file's path). Presses go on
// to the form.
class PictureSurface final : public QWidget, public TwipsBox
{
    Q_OBJECT
public:
    PictureSurface(const QString &name, QWidget *parent);
    const QImage &Picture() const { return m_picture; }
    void setPicture(const QImage &picture);
    QString Tag() const { return property("Tag").toString(); }
    // Also the surface's accessible description: the picture's file name.
    void setTag(const QString &tag);
    void setBackColour(const QColor &colour) { m_back = colour; }
    void sync();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
    QColor m_back;
    qint64 m_paintedKey = 0;
};

// The frame of the widgets the user sizes: a corner grip resizes the window
// from its bottom-right corner, the layout re-flows after every change of
// size, and the main part fills the window inside a uniform margin, showing
// the picture kept in picPHOTO stretched to its size.
class ResizableFrame : public FrameBase
{
    Q_OBJECT
public:
    explicit ResizableFrame(const QString &formName, QWidget *parent = nullptr);
    ~ResizableFrame() override;

    // WidgetInterface
    void FormUpdate() override;
    void updateparts() override;
    QWidget *mainPart() const override { return objMAINPART; }

    // Loads the widget and shows it.
    void Form_Load() override;
    // The design size of a kind: title strip height and main part size in
    // twips; the window takes the main part and its margin.
    void setDesignSize(int stripHeight, int mainWidth, int mainHeight);
    // The resizable widgets keep their place with their other values.
    void saveOnUnload() override {}
    // The load steps without showing, so that a restored set appears together.
    void loadHidden();
    // Shows a loaded widget with the window hints it needs, kept on top as
    // "On-Top" says.
    void showLoaded();

    // Loads the stored values of this widget's number: theme, texts,
    // picture, size and place.
    virtual void NewPHOTOForm();
    // Asks for a picture and shows it; a cancelled or unreadable choice
    // changes nothing.
    virtual void picopen();
    // Button 1 drags the widget, 2 opens the settings; either makes it current
    // and pulls it back onto the screen first.
    void PresetOpen(int button);
    // Places the main part inside the margin and shows picPHOTO stretched over it.
    void RenderMainPart();
    // Takes the picture file at path as if it was chosen: shown once it is
    // read; a file that cannot be read changes nothing.
    void takePicture(const QString &path);

    // FormPlacement, in twips: the window's own size.
    double formWidth() const override;
    double formHeight() const override;
    void setFormWidth(double twips) override;
    void setFormHeight(double twips) override;
    int formWindowState() const override { return 0; }
    void setFormWindowState(int) override {}

Q_SIGNALS:
    // The right button on the main part: the shared menu pops up there.
    void menuRequested(const QPoint &globalPos);
    // A picture was read and is shown now.
    void pictureShown(const QString &path);
    // A picture file could not be read; the widget is as it was.
    void pictureRefused(const QString &path);

protected:
    // The kind's own placements, before the family's layout steps.
    virtual void layoutKind() {}
    // Whether the main part shows the picture file its Tag names; a kind
    // that keeps other content there (a note's text) takes no pictures.
    virtual bool showsPicture() const { return true; }
    void colourParts(const ThemeShades &shades) override;
    void Form_Activate();
    // The shared menu, at the main part as the right button opens it there.
    void menuFromKeyboard() override;
    // From the corner grip and the margins around the main part up to twice
    // the largest screen.
    std::optional<std::pair<QSize, QSize>> keyboardSizeRange() const override;

    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

    CornerGrip *lablCORNER = nullptr;
    PictureSurface *objMAINPART = nullptr;
    PictureSurface *picPHOTO = nullptr;

private:
    // picture is the one read from path to cover a box of cover pixels (none:
    // at the screens' detail).
    void pictureRead(const QString &path, const QImage &picture, QSize cover);
    void sync();

    PictureLoader *m_restoreLoader = nullptr;
    PictureLoader *m_pickLoader = nullptr;
    PictureLoader *m_detailLoader = nullptr;
    // picPHOTO holds (or will soon hold) the picture at the screens' detail.
    bool m_detailAsked = false;
    QSize m_restoreCover;
    QSize m_pickCover;
    // What the main part shows now: the source picture and the size it was made for.
    qint64 m_renderedKey = -1;
    QSize m_renderedSize;
    QRect m_border;
    bool m_loading = false;
};

} // namespace tavlo
